#include "ui/model/startup.h"

#include <cstring>
#include <tuple>

#include "ui/model/command_line.h"

namespace lumatrove {
namespace {

bool IsProfileId(std::u16string_view id) {
  if (id.empty() || id.size() > 9) return false;
  for (char16_t c : id)
    if (c < u'0' || c > u'9') return false;
  return true;
}

}  // namespace

StartupDecision DecideStartup(const StartupFacts& facts, std::u16string_view arguments) {
  StartupDecision d;
  d.profileId = ProfileIdArgument(arguments);
  const bool apply = !d.profileId.empty();
  if (apply && !IsProfileId(d.profileId)) {
    d.action = StartupAction::kRejectProfile;
  } else if (facts.uac && facts.instanceRunning) {
    d.action = StartupAction::kHandOff;
  } else if (facts.uac && !facts.elevated) {
    d.action = StartupAction::kElevate;
  } else if (apply) {
    d.action = StartupAction::kApplyHere;
  } else if (facts.instanceRunning) {
    d.action = StartupAction::kBringForward;
  } else {
    d.action = StartupAction::kRunWindow;
  }
  return d;
}

std::u16string HandOffText(const StartupDecision& decision) {
  return decision.profileId.empty() ? std::u16string(u"show") : u"-n" + decision.profileId;
}

std::u16string HandOffText(const HandOff& handOff) {
  if (handOff.undo) return handOff.force ? u"undo quiet force" : u"undo quiet";
  if (handOff.profileId.empty()) return u"show";
  std::u16string text = u"-n" + handOff.profileId;
  if (!handOff.quiet) return text;
  text += u" quiet";
  if (handOff.force) text += u" force";
  if (handOff.noWait) text += u" nowait";
  return text;
}

std::optional<HandOff> ReadHandOff(uintptr_t tag, const void* data, size_t bytes) {
  if (tag != kHandOffTag || data == nullptr || bytes == 0 || bytes % 2 != 0 ||
      bytes > kHandOffMaxBytes) {
    return std::nullopt;
  }
  std::u16string text(bytes / 2, u'\0');
  std::memcpy(text.data(), data, bytes);
  if (text == u"show") return HandOff{};
  if (text == u"undo quiet") return HandOff{u"", true, true};
  if (text == u"undo quiet force") return HandOff{u"", true, true, true};
  if (text.size() <= 2 || text.compare(0, 2, u"-n") != 0) return std::nullopt;
  const size_t space = text.find(u' ');
  HandOff handOff{text.substr(2, space == std::u16string::npos ? space : space - 2)};
  if (!IsProfileId(handOff.profileId)) return std::nullopt;
  if (space == std::u16string::npos) return handOff;
  // The flags of a quiet hand-off, each at most once and in this order.
  handOff.quiet = true;
  const std::u16string_view flags = std::u16string_view(text).substr(space);
  for (const auto& [form, force, noWait] : {std::tuple{u" quiet", false, false},
                                            {u" quiet force", true, false},
                                            {u" quiet nowait", false, true},
                                            {u" quiet force nowait", true, true}}) {
    if (flags == form) {
      handOff.force = force;
      handOff.noWait = noWait;
      return handOff;
    }
  }
  return std::nullopt;
}

}  // namespace lumatrove
