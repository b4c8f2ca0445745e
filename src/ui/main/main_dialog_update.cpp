// The update check at start: a worker thread downloads and reads the version document and
// posts what it found; the window's own thread then switches the check off, logs, or offers
// the new version's page. The worker touches nothing of the window but its handle, so the
// program can end while the worker still waits for the network.
#include <memory>

#include "services/update_check.h"
#include "texts.h"
#include "ui/main/main_dialog.h"
#include "ui/model/action_log.h"
#include "ui/model/settings_model.h"
#include "version.h"

namespace lumatrove {
namespace {

struct UpdateJob {
  HWND window;
  FilePath file;
};

DWORD WINAPI UpdateWorker(void* argument) {
  const std::unique_ptr<UpdateJob> job(static_cast<UpdateJob*>(argument));
  const std::unique_ptr<HttpSystem> http = MakeWinInetHttp();
  auto outcome = std::make_unique<UpdateOutcome>(
      RunUpdateCheck(*http, kVersionUrl, job->file, u"" LUMATROVE_VERSION_TEXT));
  // The window owns the outcome once the message is posted.
  if (PostMessageW(job->window, kUpdateCheckedMessage, 0,
                   reinterpret_cast<LPARAM>(outcome.get()))) {
    outcome.release();
  }
  return 0;
}

}  // namespace

void MainDialog::StartUpdateCheck() {
  auto job = std::make_unique<UpdateJob>(
      UpdateJob{Handle(), workDir + u"\\" + std::u16string(kVersionFileName)});
  HANDLE thread = CreateThread(nullptr, 0, &UpdateWorker, job.get(), 0, nullptr);
  if (thread == nullptr) return;
  job.release();  // the worker's now
  CloseHandle(thread);
}

void MainDialog::OnUpdateChecked(LPARAM found) {
  const std::unique_ptr<UpdateOutcome> outcome(reinterpret_cast<UpdateOutcome*>(found));
  switch (outcome->kind) {
    case UpdateOutcome::Kind::kNewer:
      if (Message(texts::NewerVersion(outcome->version), MB_YESNO | MB_ICONINFORMATION) == IDYES &&
          IsWebPage(outcome->page)) {
        ShellExecuteW(nullptr, L"open", win::W(outcome->page), nullptr, nullptr, SW_SHOWNORMAL);
      }
      return;
    case UpdateOutcome::Kind::kUpToDate:
      return;
    case UpdateOutcome::Kind::kBadUrl:
      Message(texts::kBadUrl, MB_OK);
      break;
    case UpdateOutcome::Kind::kCannotWriteFile:
      Message(texts::kCannotOpenFile, MB_OK);
      break;
    case UpdateOutcome::Kind::kDownloadFailed:
      break;
  }
  ActionLog log(FilePath(kActionLogFile), net_.codePage());
  SwitchOffAfterFailedCheck(store, log, system_.Now());
}

}  // namespace lumatrove
