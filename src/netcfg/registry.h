// The registry as the core sees it: open, enumerate, query, set, delete, create, close. Error
// codes are the Windows ones (0 is success), so both implementations speak the same language.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lumatrove {

enum class RegRoot { kLocalMachine, kCurrentUser };
enum class RegAccess { kRead, kWrite };
using RegHandle = uintptr_t;  // 0: no key

// Value types.
constexpr uint32_t kRegNone = 0;
constexpr uint32_t kRegSz = 1;
constexpr uint32_t kRegExpandSz = 2;
constexpr uint32_t kRegBinary = 3;
constexpr uint32_t kRegDword = 4;
constexpr uint32_t kRegMultiSz = 7;

// Windows error codes used across the core.
constexpr long kErrorSuccess = 0;
constexpr long kErrorFileNotFound = 2;
constexpr long kErrorPathNotFound = 3;
constexpr long kErrorAccessDenied = 5;
constexpr long kErrorInvalidHandle = 6;
constexpr long kErrorInvalidData = 13;
constexpr long kErrorBufferOverflow = 111;
constexpr long kErrorInsufficientBuffer = 122;
constexpr long kErrorNoData = 232;
constexpr long kErrorMoreData = 234;
constexpr long kErrorNoMoreItems = 259;
constexpr long kErrorNotSupported = 50;
constexpr long kErrorBadNetName = 67;

class Registry {
 public:
  virtual ~Registry() = default;
  // RegOpenKeyExW: opens an existing key.
  virtual long OpenKey(RegRoot root, std::u16string_view path, RegAccess access,
                       RegHandle& key) = 0;
  // RegCreateKeyW: opens the key, creating it and its missing parents.
  virtual long CreateKey(RegRoot root, std::u16string_view path, RegHandle& key) = 0;
  // RegEnumKeyExW: the name of subkey `index`; kErrorNoMoreItems past the last one.
  virtual long EnumSubKey(RegHandle key, uint32_t index, std::u16string& name) = 0;
  // RegQueryValueExW: `size` holds the room of `data` on entry and the value's byte count on
  // return (kErrorMoreData when the room is too small). `data` may be null to ask the size.
  virtual long QueryValue(RegHandle key, std::u16string_view name, uint32_t* type, uint8_t* data,
                          uint32_t* size) = 0;
  virtual long SetValue(RegHandle key, std::u16string_view name, uint32_t type, const uint8_t* data,
                        uint32_t size) = 0;
  virtual long DeleteValue(RegHandle key, std::u16string_view name) = 0;
  virtual void CloseKey(RegHandle key) = 0;
};

// Owns an open key of a Registry and closes it.
class RegKey {
 public:
  explicit RegKey(Registry& registry) : registry_(&registry) {}
  RegKey(const RegKey&) = delete;
  RegKey& operator=(const RegKey&) = delete;
  ~RegKey() { Close(); }

  long Open(RegRoot root, std::u16string_view path, RegAccess access) {
    Close();
    return registry_->OpenKey(root, path, access, handle_);
  }
  long Create(RegRoot root, std::u16string_view path) {
    Close();
    return registry_->CreateKey(root, path, handle_);
  }
  void Close() {
    if (handle_ != 0) registry_->CloseKey(handle_);
    handle_ = 0;
  }
  bool IsOpen() const { return handle_ != 0; }
  RegHandle Handle() const { return handle_; }
  Registry& Owner() const { return *registry_; }

  // Reads a value into at most `capacity` bytes; false when it does not read (missing, or
  // larger than the capacity). `type` receives the stored type when given.
  bool Read(std::u16string_view name, uint32_t capacity, std::vector<uint8_t>& bytes,
            uint32_t* type = nullptr) const;
  long Set(std::u16string_view name, uint32_t type, const void* data, uint32_t size) const {
    return registry_->SetValue(handle_, name, type, static_cast<const uint8_t*>(data), size);
  }
  long Delete(std::u16string_view name) const { return registry_->DeleteValue(handle_, name); }

 private:
  Registry* registry_;
  RegHandle handle_ = 0;
};

// The bytes of a value read as UTF-16 text up to its first NUL; a value without a NUL, or with
// an odd byte count, is read no further than its bytes.
std::u16string RegText(const std::vector<uint8_t>& bytes);
// The first 32-bit little-endian word of a value; missing bytes count as zero.
uint32_t RegDword(const std::vector<uint8_t>& bytes);
// Registry images of text values.
std::vector<uint8_t> RegSzImage(std::u16string_view text);
std::vector<uint8_t> RegMultiSzImage(const std::vector<std::u16string>& strings);

}  // namespace lumatrove
