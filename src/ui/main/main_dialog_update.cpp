// The update check at start: the worker (update_worker.h) posts what it found; the window's
// own thread then switches the check off, logs, or offers the new version's page.
#include <memory>

#include "services/update_check.h"
#include "texts.h"
#include "ui/main/main_dialog.h"
#include "ui/main/update_worker.h"
#include "ui/model/action_log.h"
#include "ui/model/settings_model.h"

namespace lumatrove {
void MainDialog::StartUpdateCheck() {
  UpdateWorker::Start(Handle(), kUpdateCheckedMessage,
                      workDir + u"\\" + std::u16string(kVersionFileName));
}

void MainDialog::OnUpdateChecked(LPARAM found) {
  const std::unique_ptr<UpdateOutcome> outcome = UpdateWorker::TakeOutcome(found);
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
