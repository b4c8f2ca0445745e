#include "ui/main/arp_questions.h"

#include <windows.h>

#include <algorithm>
#include <cstddef>
#include <memory>

#include "ui/win/window.h"

namespace lumatrove {
namespace {

// One question and its answer, shared by the asking thread and the waiting window: a thread
// the window stopped waiting for still finishes into it.
struct Job {
  NetSystem* net;
  uint32_t target;
  ArpAnswer answer;
};

DWORD WINAPI Ask(void* parameter) {
  const std::unique_ptr<std::shared_ptr<Job>> holder(static_cast<std::shared_ptr<Job>*>(parameter));
  Job& job = **holder;
  job.answer.result = job.net->SendArp(job.target, job.answer.mac, &job.answer.length);
  return 0;
}

}  // namespace

std::vector<ArpAnswer> AskAtOnce(NetSystem& net, const std::vector<ArpQuestion>& questions,
                                 unsigned timeoutMs) {
  std::vector<std::shared_ptr<Job>> jobs;
  std::vector<HANDLE> pending;
  std::vector<size_t> pendingJob;
  for (const ArpQuestion& q : questions) {
    jobs.push_back(std::make_shared<Job>(Job{&net, q.target, {}}));
    auto* holder = new std::shared_ptr<Job>(jobs.back());
    HANDLE thread = CreateThread(nullptr, 0, &Ask, holder, 0, nullptr);
    if (thread == nullptr) {
      delete holder;
      continue;
    }
    pending.push_back(thread);
    pendingJob.push_back(jobs.size() - 1);
  }
  std::vector<ArpAnswer> answers(jobs.size());
  // An ended thread's answer is complete.
  auto take = [&](size_t at) {
    const size_t i = pendingJob[at];
    answers[i] = jobs[i]->answer;
    answers[i].answered = true;
    CloseHandle(pending[at]);
    pending.erase(pending.begin() + static_cast<std::ptrdiff_t>(at));
    pendingJob.erase(pendingJob.begin() + static_cast<std::ptrdiff_t>(at));
  };
  const DWORD end = GetTickCount() + timeoutMs;
  while (!pending.empty()) {
    const auto left = static_cast<LONG>(end - GetTickCount());
    // One wait takes at most 63 handles besides the messages; the rest are looked at after.
    const DWORD watched = static_cast<DWORD>(std::min<size_t>(pending.size(), 63));
    const int done =
        left <= 0 ? -1 : win::WaitWithoutInput(pending.data(), watched, static_cast<DWORD>(left));
    if (done < 0) break;
    take(static_cast<size_t>(done));
  }
  for (size_t at = pending.size(); at-- > 0;) {
    if (WaitForSingleObject(pending[at], 0) == WAIT_OBJECT_0) take(at);
  }
  // Threads still asking go on alone and free their job when they end.
  for (HANDLE thread : pending)
    CloseHandle(thread);
  return answers;
}

}  // namespace lumatrove
