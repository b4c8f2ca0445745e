#include "ui/main/update_worker.h"

#include "services/http_client.h"
#include "version.h"

namespace lumatrove {
namespace {

struct UpdateJob {
  HWND window;
  UINT message;
  FilePath file;
};

DWORD WINAPI RunJob(void* argument) {
  const std::unique_ptr<UpdateJob> job(static_cast<UpdateJob*>(argument));
  const std::unique_ptr<HttpSystem> http = MakeWinInetHttp();
  auto outcome = std::make_unique<UpdateOutcome>(
      RunUpdateCheck(*http, kVersionUrl, job->file, u"" LUMATROVE_VERSION_TEXT));
  // The window owns the outcome once the message is posted.
  if (PostMessageW(job->window, job->message, 0, reinterpret_cast<LPARAM>(outcome.get()))) {
    outcome.release();
  }
  return 0;
}

}  // namespace

bool UpdateWorker::Start(HWND window, UINT message, const FilePath& file) {
  auto job = std::make_unique<UpdateJob>(UpdateJob{window, message, file});
  HANDLE thread = CreateThread(nullptr, 0, &RunJob, job.get(), 0, nullptr);
  if (thread == nullptr) return false;
  job.release();  // the worker's now
  CloseHandle(thread);
  return true;
}

std::unique_ptr<UpdateOutcome> UpdateWorker::TakeOutcome(LPARAM posted) {
  return std::unique_ptr<UpdateOutcome>(reinterpret_cast<UpdateOutcome*>(posted));
}

}  // namespace lumatrove
