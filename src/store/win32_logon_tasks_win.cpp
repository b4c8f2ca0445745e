// The Task Scheduler 2.0 through ITaskService. The COM class exists from Vista on; on older
// systems CoCreateInstance fails and the store keeps to the Run value.
#include <windows.h>
// After windows.h.
#include <taskschd.h>

#include "store/win32_store_system.h"

namespace lumatrove {
namespace {

// A BSTR for the length of a call.
class Bstr {
 public:
  explicit Bstr(std::u16string_view text)
      : value_(SysAllocStringLen(reinterpret_cast<const wchar_t*>(text.data()),
                                 static_cast<UINT>(text.size()))) {}
  Bstr() = default;
  ~Bstr() { SysFreeString(value_); }
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  BSTR get() const { return value_; }
  BSTR* out() { return &value_; }

 private:
  BSTR value_ = nullptr;
};

// A COM interface pointer, released at the end of its scope.
template <typename T>
class Com {
 public:
  Com() = default;
  ~Com() {
    if (p_ != nullptr) p_->Release();
  }
  Com(const Com&) = delete;
  Com& operator=(const Com&) = delete;
  T* operator->() const { return p_; }
  void reset() {
    if (p_ != nullptr) p_->Release();
    p_ = nullptr;
  }
  T** out() { return &p_; }
  explicit operator bool() const { return p_ != nullptr; }

 private:
  T* p_ = nullptr;
};

VARIANT Empty() {
  VARIANT v;
  v.vt = VT_EMPTY;
  return v;
}

// The Task Scheduler's class and interface, defined here rather than taken from a library.
constexpr CLSID kTaskSchedulerClass = {
    0x0f87369f, 0xa4e5, 0x4cfc, {0xbd, 0x3e, 0x73, 0xe6, 0x15, 0x45, 0x72, 0xdd}};
constexpr IID kTaskServiceInterface = {
    0x2faba4c7, 0x4da9, 0x4013, {0x96, 0x97, 0x20, 0xcc, 0x3f, 0xd4, 0x0f, 0x85}};

uint32_t Code(HRESULT hr) {
  return static_cast<uint32_t>(hr);
}

class Win32LogonTasks : public LogonTasks {
 public:
  bool Available() override {
    Session s;
    return s.Connected() == S_OK;
  }

  std::u16string UserId() override {
    wchar_t name[257] = {};
    DWORD size = 257;
    if (!GetUserNameW(name, &size)) return {};
    wchar_t domain[256] = {};
    const DWORD n = GetEnvironmentVariableW(L"USERDOMAIN", domain, 256);
    std::u16string id;
    if (n > 0 && n < 256) id = reinterpret_cast<const char16_t*>(domain) + std::u16string(u"\\");
    return id + reinterpret_cast<const char16_t*>(name);
  }

  std::optional<std::u16string> Find(std::u16string_view name) override {
    Session s;
    Com<ITaskFolder> folder;
    if (!s.Root(folder)) return std::nullopt;
    Com<IRegisteredTask> task;
    Bstr taskName(name);
    if (FAILED(folder->GetTask(taskName.get(), task.out())) || !task) return std::nullopt;
    Bstr xml;
    if (FAILED(task->get_Xml(xml.out())) || xml.get() == nullptr) return std::u16string();
    return std::u16string(reinterpret_cast<const char16_t*>(xml.get()), SysStringLen(xml.get()));
  }

  uint32_t Register(std::u16string_view name, std::u16string_view xml) override {
    Session s;
    Com<ITaskFolder> folder;
    if (!s.Root(folder)) return Code(s.Connected());
    Bstr taskName(name);
    Bstr text(xml);
    Com<IRegisteredTask> task;
    return Code(folder->RegisterTask(taskName.get(), text.get(), TASK_CREATE_OR_UPDATE, Empty(),
                                     Empty(), TASK_LOGON_INTERACTIVE_TOKEN, Empty(), task.out()));
  }

  uint32_t Delete(std::u16string_view name) override {
    Session s;
    Com<ITaskFolder> folder;
    if (!s.Root(folder)) return Code(s.Connected());
    Bstr taskName(name);
    const HRESULT hr = folder->DeleteTask(taskName.get(), 0);
    return hr == HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND) ? 0 : Code(hr);
  }

 private:
  // COM on this thread and a connected service for one call.
  class Session {
   public:
    Session() {
      const HRESULT init = CoInitialize(nullptr);
      uninitialize_ = SUCCEEDED(init);
      connected_ =
          CoCreateInstance(kTaskSchedulerClass, nullptr, CLSCTX_INPROC_SERVER,
                           kTaskServiceInterface, reinterpret_cast<void**>(service_.out()));
      if (SUCCEEDED(connected_)) connected_ = service_->Connect(Empty(), Empty(), Empty(), Empty());
    }
    ~Session() {
      service_.reset();
      if (uninitialize_) CoUninitialize();
    }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;
    HRESULT Connected() const { return connected_; }
    bool Root(Com<ITaskFolder>& folder) {
      if (FAILED(connected_)) return false;
      Bstr root(u"\\");
      connected_ = service_->GetFolder(root.get(), folder.out());
      return SUCCEEDED(connected_) && folder;
    }

   private:
    bool uninitialize_ = false;
    HRESULT connected_ = E_FAIL;
    Com<ITaskService> service_;
  };
};

}  // namespace

std::unique_ptr<LogonTasks> MakeWin32LogonTasks() {
  return std::make_unique<Win32LogonTasks>();
}

}  // namespace lumatrove
