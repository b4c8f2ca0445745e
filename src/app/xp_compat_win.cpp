// Windows XP has no GetTickCount64, yet the toolchain's thread library imports it. Defining
// the import slot here keeps the loader from looking the function up in kernel32: the slot
// points at a function that uses the real one where the system has it.
#include <windows.h>

namespace {

ULONGLONG WINAPI TickCount64() {
  using Function = ULONGLONG(WINAPI*)();
  static const Function real = reinterpret_cast<Function>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "GetTickCount64")));
  if (real != nullptr) return real();
  // Extend the 32-bit count, counting its wrap-arounds.
  static volatile LONG lock = 0;
  static DWORD last = 0;
  static ULONGLONG high = 0;
  while (InterlockedExchange(&lock, 1) != 0)
    Sleep(0);
  const DWORD now = GetTickCount();
  if (now < last) high += 0x100000000ULL;
  last = now;
  const ULONGLONG result = high + now;
  InterlockedExchange(&lock, 0);
  return result;
}

}  // namespace

using TickFunction = ULONGLONG(WINAPI*)();
#if defined(_M_IX86) || defined(__i386__)
extern "C" {
TickFunction lumatrove_imp_GetTickCount64 __asm__("__imp__GetTickCount64@0") = TickCount64;
}
#else
extern "C" {
TickFunction lumatrove_imp_GetTickCount64 __asm__("__imp_GetTickCount64") = TickCount64;
}
#endif
