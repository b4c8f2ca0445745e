// The network-resource enumeration of Windows (WNet) behind NetEnumSystem.
#include <windows.h>
// After windows.h.
#include <winnetwk.h>

#include <vector>

#include "services/lan_browser.h"

namespace lumatrove {
namespace {

std::u16string Text(const wchar_t* s) {
  return s == nullptr ? std::u16string() : std::u16string(reinterpret_cast<const char16_t*>(s));
}

wchar_t* Pointer(const std::u16string& s) {
  return s.empty() ? nullptr : const_cast<wchar_t*>(reinterpret_cast<const wchar_t*>(s.c_str()));
}

class Win32NetEnum : public NetEnumSystem {
 public:
  uintptr_t Open(const NetResource* parent) override {
    NETRESOURCEW start{};
    if (parent != nullptr) {
      start.dwScope = parent->scope;
      start.dwType = parent->type;
      start.dwDisplayType = parent->displayType;
      start.dwUsage = parent->usage;
      start.lpLocalName = Pointer(parent->localName);
      start.lpRemoteName = Pointer(parent->remoteName);
      start.lpComment = Pointer(parent->comment);
      start.lpProvider = Pointer(parent->provider);
    }
    HANDLE handle = nullptr;
    if (WNetOpenEnumW(RESOURCE_GLOBALNET, RESOURCETYPE_ANY, RESOURCEUSAGE_CONTAINER,
                      parent != nullptr ? &start : nullptr, &handle) != NO_ERROR) {
      return 0;
    }
    return reinterpret_cast<uintptr_t>(handle);
  }

  Status Read(uintptr_t handle, size_t bufferBytes, std::vector<NetResource>& out) override {
    std::vector<NETRESOURCEW> buffer(bufferBytes / sizeof(NETRESOURCEW) + 1);
    DWORD count = static_cast<DWORD>(-1);
    DWORD size = static_cast<DWORD>(bufferBytes);
    const DWORD result =
        WNetEnumResourceW(reinterpret_cast<HANDLE>(handle), &count, buffer.data(), &size);
    if (result == ERROR_NO_MORE_ITEMS) return Status::kNoMoreItems;
    if (result == ERROR_MORE_DATA) return Status::kMoreData;
    if (result != NO_ERROR) return Status::kFailed;
    for (DWORD i = 0; i < count; ++i) {
      const NETRESOURCEW& r = buffer[i];
      out.push_back({r.dwScope, r.dwType, r.dwDisplayType, r.dwUsage, Text(r.lpLocalName),
                     Text(r.lpRemoteName), Text(r.lpComment), Text(r.lpProvider)});
    }
    return Status::kOk;
  }

  void Close(uintptr_t handle) override { WNetCloseEnum(reinterpret_cast<HANDLE>(handle)); }
};

}  // namespace

std::unique_ptr<NetEnumSystem> MakeWin32NetEnum() {
  return std::make_unique<Win32NetEnum>();
}

}  // namespace lumatrove
