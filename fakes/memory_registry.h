// An in-memory registry: keys and typed values, case-insensitive names, subkeys enumerated in
// sorted order as Windows does, and a log of every change in call order.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "netcfg/registry.h"

namespace lumatrove {

class MemoryRegistry : public Registry {
 public:
  struct Value {
    std::u16string name;
    uint32_t type = kRegNone;
    std::vector<uint8_t> data;
  };
  struct Key {
    std::u16string name;
    std::vector<std::unique_ptr<Key>> subkeys;  // sorted by name, case-insensitively
    std::vector<Value> values;                  // in the order they were first set
    bool writeProtected = false;
  };
  // One change as the registry saw it: "set" or "delete", the key's path (root included,
  // for example HKLM\SYSTEM\...), the value name and, for "set", its type and bytes.
  struct Change {
    std::string kind;
    std::u16string key;
    std::u16string value;
    uint32_t type = kRegNone;
    std::vector<uint8_t> data;
  };

  MemoryRegistry();
  ~MemoryRegistry() override;

  // Describing a computer.
  bool Load(std::u16string_view regText, std::string* error = nullptr);
  void SetString(RegRoot root, std::u16string_view path, std::u16string_view name,
                 std::u16string_view text);
  void SetMultiString(RegRoot root, std::u16string_view path, std::u16string_view name,
                      const std::vector<std::u16string>& strings);
  void SetDword(RegRoot root, std::u16string_view path, std::u16string_view name, uint32_t v);
  void SetBytes(RegRoot root, std::u16string_view path, std::u16string_view name, uint32_t type,
                std::vector<uint8_t> data);
  // Opening the key for writing then fails with kErrorAccessDenied, as for a user without
  // administrator rights.
  void WriteProtect(RegRoot root, std::u16string_view path, bool on = true);

  // Inspecting it.
  const Key* FindKey(RegRoot root, std::u16string_view path) const;
  const Value* FindValue(RegRoot root, std::u16string_view path, std::u16string_view name) const;
  std::u16string StringValue(RegRoot root, std::u16string_view path,
                             std::u16string_view name) const;
  const std::vector<Change>& Changes() const { return changes_; }
  // Called after every change made through the Registry interface.
  std::function<void(const Change&)> onChange;
  void ClearChanges() { changes_.clear(); }
  size_t OpenHandles() const { return handles_.size(); }

  // Registry.
  long OpenKey(RegRoot root, std::u16string_view path, RegAccess access, RegHandle& key) override;
  long CreateKey(RegRoot root, std::u16string_view path, RegHandle& key) override;
  long EnumSubKey(RegHandle key, uint32_t index, std::u16string& name) override;
  long QueryValue(RegHandle key, std::u16string_view name, uint32_t* type, uint8_t* data,
                  uint32_t* size) override;
  long SetValue(RegHandle key, std::u16string_view name, uint32_t type, const uint8_t* data,
                uint32_t size) override;
  long DeleteValue(RegHandle key, std::u16string_view name) override;
  void CloseKey(RegHandle key) override;

 private:
  struct Open {
    Key* key;
    RegAccess access;
    std::u16string path;
  };
  Key* Walk(RegRoot root, std::u16string_view path, bool create);
  const Key* Walk(RegRoot root, std::u16string_view path) const;
  RegHandle NewHandle(Key* key, RegAccess access, RegRoot root, std::u16string_view path);

  Key roots_[2];
  std::map<RegHandle, Open> handles_;
  RegHandle nextHandle_ = 0x100;
  std::vector<Change> changes_;
};

// Case-insensitive equality of registry names (ASCII letters fold).
bool RegNameEquals(std::u16string_view a, std::u16string_view b);

}  // namespace lumatrove
