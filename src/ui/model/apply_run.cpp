#include "ui/model/apply_run.h"

#include <algorithm>
#include <optional>

#include "base/ascii_text.h"
#include "store/connection_check.h"
#include "store/undo_snapshot.h"
#include "texts.h"

namespace lumatrove {
namespace {

// Instance IDs are GUIDs, written in either case.
std::u16string AdapterKey(std::u16string id) {
  for (char16_t& c : id)
    c = LowerAscii(c);
  return id;
}

bool Contains(const std::vector<std::u16string>& list, const std::u16string& item) {
  return std::find(list.begin(), list.end(), item) != list.end();
}

}  // namespace

void ApplyRun::ApplyWithNetsh(const ConnectionSetting& connection,
                              const std::vector<LiveAdapter>& live, ApplyRunResult& result) {
  const std::u16string key = AdapterKey(connection.instanceId);
  if (Contains(setByNetsh_, key)) return;
  setByNetsh_.push_back(key);
  result.byNetsh.push_back(connection.connectionName);
  // Once Windows did not take the notification on an adapter, netsh sets it at once next time.
  std::vector<std::u16string>& known = adapters_.notificationNotTaken;
  if (!Contains(known, key)) known.push_back(key);
  const auto adapter = std::find_if(live.begin(), live.end(), [&](const LiveAdapter& a) {
    return EqualsIgnoringAsciiCase(a.instanceId, connection.instanceId);
  });
  const std::optional<Ipv4Settings> settings = SettingsOf(connection);
  const bool ok =
      adapter != live.end() && settings && hooks_.runNetsh(adapter->interfaceIndex, *settings);
  if (!ok) hooks_.log(texts::NetshFailed(connection.connectionName));
}

void ApplyRun::Wait(const Profile& profile, ApplyRunResult& result) {
  // Since Vista, the DHCP client notification is not known to change a live address: the
  // documented way (netsh) follows where Windows does not show the settings soon, and at once
  // on an adapter where that happened before.
  const bool netsh = hooks_.runNetsh && adapters_.windowsVersion >= WindowsVersion::kVista;
  auto read = [&] { return adapters_.ReadLiveAdapters(); };
  if (netsh) {
    const std::vector<LiveAdapter> live = read();
    for (const std::unique_ptr<ConnectionSetting>& c : profile.connections) {
      if (Configures(*c) && Contains(adapters_.notificationNotTaken, AdapterKey(c->instanceId)))
        ApplyWithNetsh(*c, live, result);
    }
  }
  std::function<void(const ApplyWaitOutcome&)> late;
  if (netsh) {
    late = [&](const ApplyWaitOutcome& outcome) {
      const std::vector<LiveAdapter> live = read();
      for (const AppliedConnection& notShown : outcome.notShown) {
        for (const std::unique_ptr<ConnectionSetting>& c : profile.connections) {
          if (Configures(*c) && EqualsIgnoringAsciiCase(c->instanceId, notShown.instanceId))
            ApplyWithNetsh(*c, live, result);
        }
      }
    };
  }
  result.outcome = WaitUntilApplied(profile, read, hooks_.sleep, kApplyWaitMs, kApplyPollMs, late);
  result.waited = true;
  // An apply that netsh did not help with went by the notification alone.
  if (!result.byNetsh.empty()) {
    std::u16string names;
    for (const std::u16string& name : result.byNetsh)
      names += (names.empty() ? u"" : u"、") + name;
    hooks_.log(texts::AppliedWithNetsh(names));
  }
}

ExitCode ExitCodeOf(const ApplyRunResult& result) {
  switch (result.step) {
    case ApplyStep::kApplied:
      return result.waited && !result.outcome.Settled() ? ExitCode::kNotShown : ExitCode::kDone;
    case ApplyStep::kNotUsable:
      return ExitCode::kInvalidAddress;
    case ApplyStep::kConflictRefused:
      return ExitCode::kAddressInUse;
    case ApplyStep::kWriteFailed:
      break;
  }
  return ExitCode::kWriteFailed;
}

ApplyRunResult ApplyRun::Run(const Profile& profile, std::u16string_view content,
                             const std::u16string& name, Kind kind) {
  const bool revert = kind == Kind::kRevert;
  ApplyRunResult result;
  setByNetsh_.clear();
  const bool setsProxy = profile.proxy.mode != ProxySetting::Mode::kLeaveAlone;
  adapters_.DiscoverAdapters();
  // A profile that cannot be applied is said so before the network is asked about its
  // addresses, and leaves the undo snapshot as it was.
  result.fault = store_.ProfileContentFault(content);
  if (result.fault.empty()) result.fault = ProxyFault(profile.proxy);
  if (!result.fault.empty()) {
    result.step = ApplyStep::kNotUsable;
    return result;
  }
  if (!revert) {
    // Every address at once, and no longer than a device that holds one takes to answer.
    const std::vector<ArpQuestion> questions =
        ConflictQuestions(profile, adapters_.ReadLiveAdapters());
    const std::optional<AddressConflict> conflict =
        questions.empty() || !hooks_.askArp ? std::nullopt
                                            : FirstConflict(questions, hooks_.askArp(questions));
    if (conflict) {
      const std::u16string question = texts::AddressInUse(
          conflict->connectionName, conflict->address, conflict->hardwareAddress);
      if (!hooks_.applyDespiteConflict(question)) {
        hooks_.log(question);
        result.conflict = *conflict;
        result.step = ApplyStep::kConflictRefused;
        return result;
      }
    }
    // What the adapters have now, to go back to (the undo command keeps what it replaces, so
    // that a second undo goes forward again).
    const std::u16string snapshotOf =
        kind == Kind::kUndo ? std::u16string(texts::kMenuUndoApply) : name;
    // The proxy it replaces, when it sets one and WinINet says what is set now.
    ProxySetting proxyBefore;
    if (setsProxy) proxyBefore = system_.proxyOptions().Read().value_or(ProxySetting{});
    result.snapshot =
        SaveUndoSnapshot(system_, store_.UndoPath(), UndoConnections(profile, adapters_.adapters),
                         texts::UndoSnapshotName(snapshotOf), proxyBefore);
    if (!result.snapshot) hooks_.log(texts::kUndoSnapshotNotSaved);
  }
  // A snapshot of the proxy alone has no connection to write.
  bool ok = content.empty() && setsProxy ? true : store_.ApplyProfileContent(content);
  if (ok && setsProxy) ok = system_.proxyOptions().Write(profile.proxy);
  adapters_.DiscoverAdapters();
  result.step = ok ? ApplyStep::kApplied : ApplyStep::kWriteFailed;
  if (ok && hooks_.sleep) Wait(profile, result);
  return result;
}

}  // namespace lumatrove
