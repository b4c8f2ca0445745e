#include "ui/main/apply_sequence.h"

#include <optional>
#include <vector>

#include "store/undo_snapshot.h"
#include "texts.h"
#include "ui/dialogs/dialog_context.h"
#include "ui/dialogs/keep_settings_dialog.h"
#include "ui/main/arp_questions.h"
#include "ui/model/main_window_model.h"
#include "ui/win/window.h"

namespace lumatrove {

int ApplySequence::Say(std::u16string_view text, UINT flags) {
  switch (setup_.caller) {
    case Caller::kWindow:
      return ShowMessage(setup_.owner, text, flags);
    case Caller::kCommandLine:
      // Start-up's own boxes carry the application's name.
      return MessageBoxW(nullptr, win::W(std::u16string(text)),
                         win::W(setup_.net.ApplicationName()), flags);
    case Caller::kQuiet:
      break;
  }
  return IDOK;
}

namespace {

DWORD WINAPI RunWork(void* work) {
  (*static_cast<const std::function<void()>*>(work))();
  return 0;
}

// Runs `work` on a thread of its own while the window keeps painting; returns when it ended.
void RunWhilePainting(const std::function<void()>& work) {
  HANDLE thread =
      CreateThread(nullptr, 0, &RunWork, const_cast<std::function<void()>*>(&work), 0, nullptr);
  if (thread == nullptr) {
    work();
    return;
  }
  while (WaitForSingleObject(thread, 0) != WAIT_OBJECT_0)
    win::WaitWithoutInput(&thread, 1, 200);
  CloseHandle(thread);
}

}  // namespace

ApplyRun::Hooks ApplySequence::Hooks(ProgressDialog& progress) {
  ApplyRun::Hooks hooks;
  hooks.log = setup_.log;
  hooks.askArp = [this](const std::vector<ArpQuestion>& questions) {
    return AskAtOnce(setup_.net, questions, kArpWaitMs);
  };
  hooks.applyDespiteConflict = [this, &progress](std::u16string_view question) {
    if (setup_.caller == Caller::kQuiet) return setup_.force;
    progress.Show(SW_HIDE);
    if (Say(question, MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2) != IDYES) return false;
    progress.Show(SW_SHOW);
    progress.Update();
    return true;
  };
  if (setup_.wait) {
    progress.SetRange(kApplyWaitMs);
    hooks.sleep = [&progress, waited = 0u](unsigned ms) mutable {
      win::WaitWithoutInput(nullptr, 0, ms);
      waited += ms;
      progress.SetPosition(waited);
    };
  }
  hooks.runNetsh = [this](uint32_t index, const Ipv4Settings& settings) {
    bool ok = false;
    RunWhilePainting([&] { ok = setup_.adapters.ApplyWithNetsh(index, settings); });
    return ok;
  };
  return hooks;
}

bool ApplySequence::RevertUnlessKept(const std::u16string& name) {
  if (AskToKeepSettings(setup_.owner)) return false;
  std::optional<UndoSnapshot> before = LoadUndoSnapshotToApply(setup_.store.UndoPath());
  const bool reverted = before && Run(*before->profile, before->content, name, Kind::kRevert);
  const std::u16string_view text =
      reverted ? texts::kSettingsReverted : texts::kSettingsRevertFailed;
  setup_.log(text);
  Say(text, reverted ? MB_ICONINFORMATION : MB_ICONERROR);
  return true;
}

void ApplySequence::Report(bool ok, const std::u16string& name, const ApplyWaitOutcome& outcome) {
  const bool window = setup_.caller == Caller::kWindow;
  if (!ok) {
    Say(window ? texts::kApplyFailed : texts::kCommandLineApplyFailed, MB_ICONERROR);
    setup_.log(texts::kApplyFailed);
    return;
  }
  // The message cuts a long name so that it fits on the screen; the log keeps it whole.
  Say(window ? texts::ProfileApplied(ShortProfileName(name))
             : std::u16string(texts::kCommandLineApplied),
      MB_ICONINFORMATION);
  setup_.log(texts::ProfileApplied(name));
  const std::u16string shown = ApplyWaitMessage(outcome);
  if (!shown.empty()) {
    setup_.log(shown);
    Say(shown, MB_ICONEXCLAMATION);
  }
}

bool ApplySequence::Run(const Profile& profile, std::u16string_view content,
                        const std::u16string& name, Kind kind) {
  const bool revert = kind == Kind::kRevert;
  ProgressDialog progress;
  if (setup_.caller != Caller::kQuiet && progress.CreateModeless(setup_.owner)) {
    progress.CenterOn(setup_.owner != nullptr ? setup_.owner : GetDesktopWindow());
    progress.Show(SW_SHOW);
    progress.Update();
  }
  ApplyRun run(setup_.store, setup_.adapters, setup_.system, Hooks(progress));
  const ApplyRunResult result = run.Run(profile, content, name, kind);
  if (!revert) result_ = result;
  if (result.step == ApplyStep::kConflictRefused) return false;
  if (result.step == ApplyStep::kNotUsable && setup_.caller != Caller::kQuiet)
    setup_.net.ShowMessage(result.fault, setup_.net.ApplicationName(), kMbIconHand | kMbOk);
  if (progress.Handle() != nullptr) progress.Send(WM_CLOSE);
  progress.Destroy();
  if (setup_.written) setup_.written();
  const bool ok = result.step == ApplyStep::kApplied;
  if (revert) return ok;

  // Nobody there to keep it (a remote session that lost its connection): back it goes,
  // before any other message can wait for an answer.
  if (ok && result.snapshot && setup_.store.confirmApply && setup_.caller != Caller::kQuiet &&
      RevertUnlessKept(name)) {
    return false;
  }
  Report(ok, name, result.outcome);
  return ok;
}

}  // namespace lumatrove
