#include "ui/model/startup.h"

#include <cstring>

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

std::optional<HandOff> ReadHandOff(uintptr_t tag, const void* data, size_t bytes) {
  if (tag != kHandOffTag || data == nullptr || bytes == 0 || bytes % 2 != 0 ||
      bytes > kHandOffMaxBytes) {
    return std::nullopt;
  }
  std::u16string text(bytes / 2, u'\0');
  std::memcpy(text.data(), data, bytes);
  if (text == u"show") return HandOff{};
  if (text.size() > 2 && text.compare(0, 2, u"-n") == 0 && IsProfileId(text.substr(2)))
    return HandOff{text.substr(2)};
  return std::nullopt;
}

}  // namespace lumatrove
