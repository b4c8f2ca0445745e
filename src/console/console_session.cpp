#include "console/console_session.h"

#include <algorithm>

#include "base/ascii_text.h"
#include "console/console_texts.h"
#include "console/json_text.h"
#include "store/system_path.h"
#include "store/undo_snapshot.h"
#include "ui/model/action_log.h"
#include "ui/model/live_state.h"
#include "ui/model/main_window_model.h"

namespace lumatrove {
namespace {

std::u16string_view ModeName(ConnectionMode mode) {
  switch (mode) {
    case ConnectionMode::kManual:
      return u"manual";
    case ConnectionMode::kAutomatic:
      return u"dhcp";
    case ConnectionMode::kLeaveAlone:
      return u"unchanged";
    case ConnectionMode::kUnknown:
      break;
  }
  return u"unknown";
}

// The first entry and the further ones as one list, empty texts left out.
std::vector<std::u16string> AllOf(const std::u16string& first,
                                  const std::vector<std::u16string>& more) {
  std::vector<std::u16string> all;
  if (!first.empty()) all.push_back(first);
  for (const std::u16string& m : more)
    if (!m.empty()) all.push_back(m);
  return all;
}

void WriteConnection(JsonText& j, const ConnectionSetting& c) {
  j.BeginObject();
  j.Key(u"connection").String(c.connectionName);
  j.Key(u"adapter").String(c.description);
  j.Key(u"guid").String(c.instanceId);
  j.Key(u"mode").String(ModeName(ModeOf(c)));
  const std::vector<std::u16string> addresses = AllOf(c.ipAddressText, c.moreAddresses);
  const std::vector<std::u16string> masks = AllOf(c.subnetMaskText, c.moreMasks);
  j.Key(u"addresses").BeginArray();
  for (size_t i = 0; i < addresses.size(); ++i) {
    j.BeginObject().Key(u"address").String(addresses[i]);
    j.Key(u"mask").String(i < masks.size() ? masks[i] : u"").EndObject();
  }
  j.EndArray();
  const std::vector<std::u16string> gateways = AllOf(c.gatewayText, c.moreGateways);
  j.Key(u"gateways").BeginArray();
  for (size_t i = 0; i < gateways.size(); ++i) {
    const uint32_t metric = i < c.gatewayMetrics.size() ? c.gatewayMetrics[i] : 0;
    j.BeginObject().Key(u"address").String(gateways[i]);
    j.Key(u"metric").Number(metric).EndObject();  // 0: automatic
  }
  j.EndArray();
  std::vector<std::u16string> dns = AllOf(c.primaryDns, {c.secondaryDns});
  for (const std::u16string& d : c.moreDnsServers)
    if (!d.empty()) dns.push_back(d);
  j.Key(u"dnsServers").Strings(dns);
  j.EndObject();
}

// Text as lines, one call of `line` each.
void Lines(std::u16string_view text, const std::function<void(std::u16string_view)>& line) {
  while (!text.empty()) {
    const size_t end = text.find(u'\n');
    std::u16string_view one = text.substr(0, end);
    if (!one.empty() && one.back() == u'\r') one.remove_suffix(1);
    line(one);
    if (end == std::u16string_view::npos) break;
    text.remove_prefix(end + 1);
  }
}

}  // namespace

void ConsoleSession::Log(std::u16string_view text) {
  if (!store_.logEnabled) return;
  ActionLog(store_.ConfigPath().Sibling(kActionLogFile), system_.net().codePage())
      .Append(text, system_.Now());
}

void ConsoleSession::OpenForChange() {
  store_.Open();
  // IDs repaired now are repaired for good: the log beside the program says so, as the main
  // window's would.
  for (const std::u16string& line : IdRepairLogLines(store_.idRepairs))
    Log(line);
  if (!store_.autoRunFault.empty()) Log(store_.autoRunFault);
}

const Profile* ConsoleSession::Find(std::u16string_view target, ExitCode& code) {
  for (const auto& p : store_.profiles)
    if (p->id == target) return p.get();
  std::vector<const Profile*> named;
  for (const auto& p : store_.profiles)
    if (p->name == target) named.push_back(p.get());
  if (named.size() == 1) return named.front();
  if (named.empty()) {
    host_.err(console_texts::NoSuchProfile(target));
    code = ExitCode::kNoProfile;
    return nullptr;
  }
  std::u16string ids;
  for (const Profile* p : named)
    ids += (ids.empty() ? u"" : u", ") + p->id;
  host_.err(console_texts::SeveralProfiles(target, ids));
  code = ExitCode::kUsage;
  return nullptr;
}

ExitCode ConsoleSession::List(bool json) {
  store_.LoadFromFile(store_.ConfigPath());
  adapters_.DiscoverAdapters();
  const std::vector<bool> live =
      LiveProfiles(store_.profiles, adapters_.ReadLiveAdapters(), system_.proxyOptions().Read());
  JsonText j;
  j.BeginArray();
  for (size_t i = 0; i < store_.profiles.size(); ++i) {
    const Profile& p = *store_.profiles[i];
    if (json) {
      j.BeginObject().Key(u"id").String(p.id).Key(u"name").String(p.name);
      j.Key(u"active").Bool(live[i]).EndObject();
    } else {
      host_.out((live[i] ? u"* " : u"  ") + p.id + u"\t" + p.name);
    }
  }
  if (json) host_.out(j.EndArray().Text());
  return ExitCode::kDone;
}

ExitCode ConsoleSession::Show(const ConsoleCommand& command) {
  store_.LoadFromFile(store_.ConfigPath());
  ExitCode code = ExitCode::kDone;
  const Profile* p = Find(command.target, code);
  if (p == nullptr) return code;
  adapters_.DiscoverAdapters();
  const bool live = ProfileIsLive(*p, adapters_.ReadLiveAdapters());
  if (command.json) {
    JsonText j;
    j.BeginObject().Key(u"id").String(p->id).Key(u"name").String(p->name);
    j.Key(u"saved").String(p->dateTime).Key(u"active").Bool(live);
    j.Key(u"connections").BeginArray();
    for (const auto& c : p->connections)
      WriteConnection(j, *c);
    host_.out(j.EndArray().EndObject().Text());
    return ExitCode::kDone;
  }
  host_.out(p->id + u"\t" + p->name + (live ? std::u16string(console_texts::kLiveInUse) : u""));
  std::u16string summary;
  for (const auto& c : p->connections)
    AppendConnectionSummary(summary, *c);
  summary += ProxySummary(p->proxy);
  Lines(summary, [&](std::u16string_view line) {
    if (!line.empty()) host_.out(line);
  });
  return ExitCode::kDone;
}

ExitCode ConsoleSession::Current(bool json) {
  adapters_.DiscoverAdapters();
  const std::vector<LiveAdapter> live = adapters_.ReadLiveAdapters();
  JsonText j;
  j.BeginArray();
  for (const LiveAdapter& a : live) {
    std::u16string description;
    for (const auto& known : adapters_.adapters)
      if (EqualsIgnoringAsciiCase(known->instanceId, a.instanceId))
        description = known->description;
    if (json) {
      j.BeginObject().Key(u"connection").String(a.connectionName);
      j.Key(u"adapter").String(description).Key(u"guid").String(a.instanceId);
      j.Key(u"dhcp").Bool(a.dhcp).Key(u"addresses").BeginArray();
      for (size_t i = 0; i < a.addresses.size(); ++i) {
        j.BeginObject().Key(u"address").String(a.addresses[i]);
        j.Key(u"mask").String(i < a.masks.size() ? a.masks[i] : u"").EndObject();
      }
      j.EndArray().Key(u"gateways").Strings(a.gateways);
      j.Key(u"dnsServers").Strings(a.dnsServers).EndObject();
      continue;
    }
    host_.out(u"【" + a.connectionName + u"】" + description);
    if (a.dhcp) host_.out(console_texts::kLiveDhcp);
    for (size_t i = 0; i < a.addresses.size(); ++i) {
      host_.out(std::u16string(console_texts::kLiveAddress) + a.addresses[i] +
                (i < a.masks.size() ? u" / " + a.masks[i] : u""));
    }
    for (const std::u16string& g : a.gateways)
      host_.out(std::u16string(console_texts::kLiveGateway) + g);
    for (const std::u16string& d : a.dnsServers)
      host_.out(std::u16string(console_texts::kLiveDns) + d);
  }
  if (json) host_.out(j.EndArray().Text());
  return ExitCode::kDone;
}

std::optional<ExitCode> ConsoleSession::Forwarded(const HandOff& handOff,
                                                  const std::u16string& name) {
  const std::optional<intptr_t> answer = host_.forward ? host_.forward(handOff) : std::nullopt;
  if (!answer || *answer < kQuietAnswer || *answer > kQuietAnswerBusy) return std::nullopt;
  if (*answer == kQuietAnswerBusy) {
    host_.err(console_texts::kInstanceBusy);
    return ExitCode::kWriteFailed;
  }
  // The instance logged the details; the line here says what came of it.
  const auto code = static_cast<ExitCode>(*answer - kQuietAnswer);
  switch (code) {
    case ExitCode::kDone:
      host_.out(handOff.undo ? std::u16string(console_texts::kUndone)
                             : texts::ProfileApplied(name));
      break;
    case ExitCode::kNoProfile:
      host_.err(handOff.undo ? texts::kUndoSnapshotMissing : console_texts::NoSuchProfile(name));
      break;
    case ExitCode::kInvalidAddress:
      host_.err(console_texts::kInvalidThere);
      break;
    case ExitCode::kNotShown:
      host_.err(console_texts::kNotShownThere);
      break;
    case ExitCode::kAddressInUse:
      host_.err(console_texts::kAddressInUseThere);
      break;
    default:
      host_.err(console_texts::kWriteFailed);
      break;
  }
  return code;
}

ExitCode ConsoleSession::Report(const ApplyRunResult& result, const std::u16string& done) {
  switch (result.step) {
    case ApplyStep::kNotUsable:
      host_.err(result.fault);
      break;
    case ApplyStep::kConflictRefused:
      host_.err(console_texts::AddressInUse(result.conflict.connectionName, result.conflict.address,
                                            result.conflict.hardwareAddress));
      break;
    case ApplyStep::kWriteFailed:
      Log(texts::kApplyFailed);
      host_.err(console_texts::kWriteFailed);
      break;
    case ApplyStep::kApplied: {
      Log(done);
      host_.out(done);
      const std::u16string shown = result.waited ? ApplyWaitMessage(result.outcome) : u"";
      if (!shown.empty()) {
        Log(shown);
        Lines(shown, host_.err);
      }
      break;
    }
  }
  return ExitCodeOf(result);
}

ExitCode ConsoleSession::Refused() {
  host_.err(console_texts::kNeedsAdministrator);
  return ExitCode::kNeedsAdministrator;
}

ExitCode ConsoleSession::RunApply(const Profile& profile, std::u16string_view content,
                                  ApplyRun::Kind kind, bool force, bool wait) {
  ApplyRun::Hooks hooks = host_.apply;
  hooks.log = [this](std::u16string_view text) { Log(text); };
  hooks.applyDespiteConflict = [force](std::u16string_view) { return force; };
  if (!wait) hooks.sleep = nullptr;
  ApplyRun run(store_, adapters_, system_, std::move(hooks));
  return Report(run.Run(profile, content, profile.name, kind), texts::ProfileApplied(profile.name));
}

ExitCode ConsoleSession::Apply(const ConsoleCommand& command) {
  // The instance in the tray applies when it runs (it may write where this process may not,
  // and two applies never run at once); this process only looks the profile up for it.
  store_.LoadFromFile(store_.ConfigPath());
  ExitCode code = ExitCode::kDone;
  const Profile* p = Find(command.target, code);
  if (p == nullptr) return code;
  const HandOff handOff{p->id, false, true, command.force, command.noWait};
  if (const std::optional<ExitCode> done = Forwarded(handOff, p->name)) return *done;
  if (!host_.elevated) return Refused();
  OpenForChange();
  p = Find(command.target, code);
  if (p == nullptr) return code;
  return RunApply(*p, store_.GetProfileContent(p->id), ApplyRun::Kind::kProfile, command.force,
                  !command.noWait);
}

ExitCode ConsoleSession::Undo(bool force) {
  if (const std::optional<ExitCode> done = Forwarded(HandOff{u"", true, true, force}, u""))
    return *done;
  if (!host_.elevated) return Refused();
  OpenForChange();
  std::optional<UndoSnapshot> snapshot = LoadUndoSnapshotToApply(store_.UndoPath());
  if (!snapshot) {
    host_.err(texts::kUndoSnapshotMissing);
    return ExitCode::kNoProfile;
  }
  return RunApply(*snapshot->profile, snapshot->content, ApplyRun::Kind::kUndo, force, true);
}

ExitCode ConsoleSession::Export(const ConsoleCommand& command) {
  store_.LoadFromFile(store_.ConfigPath());
  std::u16string missing;
  const FilePath file(command.file);
  if (!store_.ExportProfiles(file, command.ids, &missing)) {
    if (!missing.empty()) {
      host_.err(console_texts::NoSuchProfile(missing));
      return ExitCode::kNoProfile;
    }
    host_.err(console_texts::CannotWrite(command.file));
    return ExitCode::kWriteFailed;
  }
  const size_t count = command.ids.empty() ? store_.profiles.size() : command.ids.size();
  host_.out(console_texts::Exported(DecimalText(static_cast<int64_t>(count)), command.file));
  return ExitCode::kDone;
}

ExitCode ConsoleSession::Check(const ConsoleCommand& command) {
  const FilePath file(command.file);
  if (!FileExists(file)) {
    host_.err(console_texts::CannotRead(command.file));
    return ExitCode::kUsage;
  }
  // Checked as an import would take it, into a store that is never saved.
  ProfileStore scratch(system_);
  scratch.document.SetDocument(kDefaultDocument);
  const ProfileStore::ImportResult checked = scratch.ImportProfiles(file);
  if (!checked.fault.empty()) {
    host_.err(console_texts::BadFile(command.file, checked.fault));
    return ExitCode::kInvalidAddress;
  }
  host_.out(console_texts::FileChecked(DecimalText(static_cast<int64_t>(checked.added))));
  return ExitCode::kDone;
}

ExitCode ConsoleSession::Import(const ConsoleCommand& command) {
  const FilePath file(command.file);
  if (!FileExists(file)) {
    host_.err(console_texts::CannotRead(command.file));
    return ExitCode::kUsage;
  }
  OpenForChange();
  const ProfileStore::ImportResult imported = store_.ImportProfiles(file);
  if (!imported.fault.empty()) {
    host_.err(console_texts::BadFile(command.file, imported.fault));
    return ExitCode::kInvalidAddress;
  }
  if (!store_.SaveAndReopen()) {
    host_.err(console_texts::kSaveFailed);
    return ExitCode::kWriteFailed;
  }
  host_.out(console_texts::Imported(DecimalText(static_cast<int64_t>(imported.added))));
  return ExitCode::kDone;
}

ExitCode ConsoleSession::Settings(const ConsoleCommand& command) {
  if (!host_.elevated) return Refused();
  if (command.autoStart || command.updateCheck) {
    OpenForChange();
    if (command.autoStart) store_.autoRun = *command.autoStart;
    if (command.updateCheck) store_.autoUpdate = *command.updateCheck;
    if (!store_.WriteSystemSettings()) {
      host_.err(console_texts::kSaveFailed);
      return ExitCode::kWriteFailed;
    }
    if (command.autoStart && !store_.SetAutoRun(store_.autoRun)) {
      Log(store_.autoRunFault);
      host_.err(store_.autoRunFault);
      return ExitCode::kWriteFailed;
    }
  }
  if (command.onPath) {
    bool changed = false;
    const long error = SetFolderOnSystemPath(
        system_.net().registry(), store_.ProgramPath().Folder().Text(), *command.onPath, &changed);
    if (error != kErrorSuccess) {
      host_.err(
          console_texts::PathNotChanged(system_.net().ErrorText(static_cast<uint32_t>(error))));
      return ExitCode::kWriteFailed;
    }
    if (changed && host_.environmentChanged) host_.environmentChanged();
  }
  host_.out(console_texts::kSettingsDone);
  return ExitCode::kDone;
}

ExitCode ConsoleSession::Run(const ConsoleCommand& command) {
  switch (command.verb) {
    case ConsoleVerb::kHelp:
      Lines(console_texts::kHelp, host_.out);
      return ExitCode::kDone;
    case ConsoleVerb::kVersion:
      host_.out(console_texts::kVersion);
      return ExitCode::kDone;
    case ConsoleVerb::kList:
      return List(command.json);
    case ConsoleVerb::kShow:
      return Show(command);
    case ConsoleVerb::kCurrent:
      return Current(command.json);
    case ConsoleVerb::kApply:
      return Apply(command);
    case ConsoleVerb::kUndo:
      return Undo(command.force);
    case ConsoleVerb::kExport:
      return Export(command);
    case ConsoleVerb::kImport:
      return Import(command);
    case ConsoleVerb::kCheck:
      return Check(command);
    case ConsoleVerb::kSettings:
      return Settings(command);
    case ConsoleVerb::kExit:
      if (host_.endInstance && host_.endInstance()) return ExitCode::kDone;
      host_.err(console_texts::kInstanceStays);
      return ExitCode::kWriteFailed;
  }
  return ExitCode::kUsage;
}

}  // namespace lumatrove
