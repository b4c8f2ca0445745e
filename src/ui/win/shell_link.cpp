#include "ui/win/shell_link.h"

#include <windows.h>
// After windows.h.
#include <objbase.h>
#include <shlobj.h>

#include "ui/win/window.h"

namespace lumatrove::win {
namespace {

// Releases a COM interface when it goes out of scope.
template <typename T>
class ComPtr {
 public:
  ~ComPtr() {
    if (p_ != nullptr) p_->Release();
  }
  T* operator->() const { return p_; }
  T** Out() { return &p_; }
  void** OutVoid() { return reinterpret_cast<void**>(&p_); }

 private:
  T* p_ = nullptr;
};

// COM for this thread, for the lifetime of the object.
class ComScope {
 public:
  ComScope() : ok_(SUCCEEDED(CoInitialize(nullptr))) {}
  ~ComScope() {
    if (ok_) CoUninitialize();
  }
  bool Ok() const { return ok_; }

 private:
  bool ok_;
};

}  // namespace

std::u16string DesktopFolder() {
  ComPtr<IMalloc> malloc;
  if (FAILED(SHGetMalloc(malloc.Out()))) return {};
  LPITEMIDLIST list = nullptr;
  if (FAILED(SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOPDIRECTORY, &list))) return {};
  wchar_t path[MAX_PATH] = {};
  const bool ok = SHGetPathFromIDListW(list, path) != FALSE;
  malloc->Free(list);
  return ok ? U(path) : std::u16string();
}

bool SaveShellLink(const std::u16string& path, const ShellLink& link) {
  const ComScope com;
  if (!com.Ok()) return false;
  ComPtr<IShellLinkW> shellLink;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              shellLink.OutVoid()))) {
    return false;
  }
  shellLink->SetPath(W(link.target));
  shellLink->SetWorkingDirectory(W(link.workDir));
  shellLink->SetArguments(W(link.arguments));
  shellLink->SetIconLocation(W(link.iconPath), link.iconIndex);
  ComPtr<IPersistFile> file;
  if (FAILED(shellLink->QueryInterface(IID_IPersistFile, file.OutVoid()))) return false;
  return SUCCEEDED(file->Save(W(path), FALSE));
}

}  // namespace lumatrove::win
