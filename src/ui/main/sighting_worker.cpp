#include "ui/main/sighting_worker.h"

#include "netcfg/win32_net_system.h"

namespace lumatrove {
namespace {

struct SightingJob {
  HWND window;
  UINT message;
  std::vector<LiveAdapter> live;
};

DWORD WINAPI RunJob(void* argument) {
  const std::unique_ptr<SightingJob> job(static_cast<SightingJob*>(argument));
  const std::unique_ptr<NetSystem> net = MakeWin32NetSystem();
  auto seen = std::make_unique<NetworkSighting>(ReadNetworkSighting(*net, job->live));
  if (PostMessageW(job->window, job->message, 0, reinterpret_cast<LPARAM>(seen.get()))) {
    seen.release();  // the window's now
  }
  return 0;
}

}  // namespace

bool SightingWorker::Start(HWND window, UINT message, std::vector<LiveAdapter> live) {
  auto job = std::make_unique<SightingJob>(SightingJob{window, message, std::move(live)});
  HANDLE thread = CreateThread(nullptr, 0, &RunJob, job.get(), 0, nullptr);
  if (thread == nullptr) return false;
  job.release();  // the worker's now
  CloseHandle(thread);
  return true;
}

}  // namespace lumatrove
