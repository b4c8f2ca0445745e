// Switching to a profile when its network appears: after each change the address watch
// reports (and at start), a worker reads what the adapters see; the guard decides, and a
// profile is applied as a quiet hand-off is, with the snapshot and the wait, and said in a
// balloon from the tray.
#include <algorithm>

#include "texts.h"
#include "ui/main/main_dialog.h"
#include "ui/main/sighting_worker.h"

namespace lumatrove {

AutoSwitchState MainDialog::AutoSwitchMenuState() const {
  const bool any = std::any_of(store.profiles.begin(), store.profiles.end(), [](const auto& p) {
    return p->networks.autoApply && !p->networks.rules.empty();
  });
  if (!any) return AutoSwitchState::kNone;
  return store.autoSwitchPaused ? AutoSwitchState::kPaused : AutoSwitchState::kOn;
}

void MainDialog::LookAtNetworks() {
  if (AutoSwitchMenuState() != AutoSwitchState::kOn) return;
  if (sighting_) {
    sightAgain_ = true;
    return;
  }
  sighting_ = SightingWorker::Start(Handle(), kNetworksSeenMessage, netAdapters.ReadLiveAdapters());
}

void MainDialog::OnNetworksSeen(LPARAM posted) {
  const std::unique_ptr<NetworkSighting> seen = SightingWorker::Take(posted);
  sighting_ = false;
  if (sightAgain_) {
    // What was read may be out of date already: the newer state decides.
    sightAgain_ = false;
    LookAtNetworks();
    return;
  }
  if (applying_) return;
  autoSwitch_.paused = store.autoSwitchPaused;
  // Milliseconds since Windows started; XP has no 64-bit count, and a wrap after 49 days
  // at worst lets one switch through early.
  const AutoSwitch decision =
      autoSwitch_.Decide(store.profiles, live_.LiveRows(store.profiles), *seen, GetTickCount());
  const std::u16string title(texts::kAutoSwitchTitle);
  if (decision.action == AutoSwitch::Action::kSeveral) {
    std::u16string names;
    for (size_t i : decision.candidates) {
      if (!names.empty()) names += u"、";
      names += u"【" + store.profiles[i]->name + u"】";
    }
    trayIcon.ShowBalloon(title, texts::SeveralNetworksMatch(names), true);
    return;
  }
  if (decision.action != AutoSwitch::Action::kApply) return;
  const Profile& profile = *store.profiles[decision.profile];
  const std::u16string name = profile.name;
  HandOff quiet;
  quiet.profileId = profile.id;
  quiet.quiet = true;
  ApplyRunResult result;
  ApplyAndFollow(profile, store.GetProfileContent(profile.id), name, ApplySequence::Kind::kProfile,
                 &quiet, &result);
  const bool done = ExitCodeOf(result) == ExitCode::kDone;
  trayIcon.ShowBalloon(title, done ? texts::AutoApplied(name) : texts::AutoApplyFailed(name),
                       !done);
  Append(done ? texts::AutoApplied(name) : texts::AutoApplyFailed(name));
}

void MainDialog::ToggleAutoSwitchPause() {
  store.autoSwitchPaused = !store.autoSwitchPaused;
  if (!store.WriteSystemSettings()) Message(texts::kSaveFailed, MB_ICONERROR);
  // Resuming looks at the network at once.
  LookAtNetworks();
}

}  // namespace lumatrove
