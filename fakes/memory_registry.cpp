#include "fakes/memory_registry.h"

#include <algorithm>

#include "netcfg/reg_text.h"

namespace lumatrove {
namespace {

char16_t Fold(char16_t c) {
  return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - 32) : c;
}

bool NameLess(std::u16string_view a, std::u16string_view b) {
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    if (Fold(a[i]) != Fold(b[i])) return Fold(a[i]) < Fold(b[i]);
  }
  return a.size() < b.size();
}

std::vector<std::u16string_view> SplitPath(std::u16string_view path) {
  std::vector<std::u16string_view> parts;
  size_t pos = 0;
  while (pos <= path.size()) {
    size_t end = path.find(u'\\', pos);
    if (end == std::u16string_view::npos) end = path.size();
    if (end > pos) parts.push_back(path.substr(pos, end - pos));
    pos = end + 1;
  }
  return parts;
}

std::u16string RootName(RegRoot root) {
  return root == RegRoot::kLocalMachine ? u"HKLM" : u"HKCU";
}

}  // namespace

bool RegNameEquals(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (Fold(a[i]) != Fold(b[i])) return false;
  }
  return true;
}

MemoryRegistry::MemoryRegistry() = default;
MemoryRegistry::~MemoryRegistry() = default;

MemoryRegistry::Key* MemoryRegistry::Walk(RegRoot root, std::u16string_view path, bool create) {
  Key* key = &roots_[root == RegRoot::kLocalMachine ? 0 : 1];
  for (std::u16string_view part : SplitPath(path)) {
    auto it = std::lower_bound(
        key->subkeys.begin(), key->subkeys.end(), part,
        [](const std::unique_ptr<Key>& k, std::u16string_view n) { return NameLess(k->name, n); });
    if (it != key->subkeys.end() && RegNameEquals((*it)->name, part)) {
      key = it->get();
      continue;
    }
    if (!create) return nullptr;
    auto added = std::make_unique<Key>();
    added->name.assign(part);
    key = key->subkeys.insert(it, std::move(added))->get();
  }
  return key;
}

const MemoryRegistry::Key* MemoryRegistry::Walk(RegRoot root, std::u16string_view path) const {
  return const_cast<MemoryRegistry*>(this)->Walk(root, path, false);
}

RegHandle MemoryRegistry::NewHandle(Key* key, RegAccess access, RegRoot root,
                                    std::u16string_view path) {
  const RegHandle h = nextHandle_++;
  std::u16string full = RootName(root);
  for (std::u16string_view part : SplitPath(path)) {
    full += u'\\';
    full += part;
  }
  handles_[h] = Open{key, access, std::move(full)};
  return h;
}

bool MemoryRegistry::Load(std::u16string_view regText, std::string* error) {
  return ApplyRegText(*this, regText, error);
}

void MemoryRegistry::SetBytes(RegRoot root, std::u16string_view path, std::u16string_view name,
                              uint32_t type, std::vector<uint8_t> data) {
  Key* key = Walk(root, path, true);
  for (Value& v : key->values) {
    if (RegNameEquals(v.name, name)) {
      v.type = type;
      v.data = std::move(data);
      return;
    }
  }
  key->values.push_back(Value{std::u16string(name), type, std::move(data)});
}

void MemoryRegistry::SetString(RegRoot root, std::u16string_view path, std::u16string_view name,
                               std::u16string_view text) {
  SetBytes(root, path, name, kRegSz, RegSzImage(text));
}

void MemoryRegistry::SetMultiString(RegRoot root, std::u16string_view path,
                                    std::u16string_view name,
                                    const std::vector<std::u16string>& strings) {
  SetBytes(root, path, name, kRegMultiSz, RegMultiSzImage(strings));
}

void MemoryRegistry::SetDword(RegRoot root, std::u16string_view path, std::u16string_view name,
                              uint32_t v) {
  SetBytes(root, path, name, kRegDword,
           {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
            static_cast<uint8_t>(v >> 24)});
}

void MemoryRegistry::WriteProtect(RegRoot root, std::u16string_view path, bool on) {
  Walk(root, path, true)->writeProtected = on;
}

const MemoryRegistry::Key* MemoryRegistry::FindKey(RegRoot root, std::u16string_view path) const {
  return Walk(root, path);
}

const MemoryRegistry::Value* MemoryRegistry::FindValue(RegRoot root, std::u16string_view path,
                                                       std::u16string_view name) const {
  const Key* key = Walk(root, path);
  if (key == nullptr) return nullptr;
  for (const Value& v : key->values) {
    if (RegNameEquals(v.name, name)) return &v;
  }
  return nullptr;
}

std::u16string MemoryRegistry::StringValue(RegRoot root, std::u16string_view path,
                                           std::u16string_view name) const {
  const Value* v = FindValue(root, path, name);
  return v == nullptr ? std::u16string() : RegText(v->data);
}

long MemoryRegistry::OpenKey(RegRoot root, std::u16string_view path, RegAccess access,
                             RegHandle& key) {
  key = 0;
  Key* k = Walk(root, path, false);
  if (k == nullptr) return kErrorFileNotFound;
  if (access == RegAccess::kWrite && k->writeProtected) return kErrorAccessDenied;
  key = NewHandle(k, access, root, path);
  return kErrorSuccess;
}

long MemoryRegistry::CreateKey(RegRoot root, std::u16string_view path, RegHandle& key) {
  key = 0;
  Key* existing = Walk(root, path, false);
  if (existing != nullptr && existing->writeProtected) return kErrorAccessDenied;
  Key* k = existing != nullptr ? existing : Walk(root, path, true);
  key = NewHandle(k, RegAccess::kWrite, root, path);
  return kErrorSuccess;
}

long MemoryRegistry::EnumSubKey(RegHandle key, uint32_t index, std::u16string& name) {
  auto it = handles_.find(key);
  if (it == handles_.end()) return kErrorInvalidHandle;
  const Key* k = it->second.key;
  if (index >= k->subkeys.size()) return kErrorNoMoreItems;
  name = k->subkeys[index]->name;
  return kErrorSuccess;
}

long MemoryRegistry::QueryValue(RegHandle key, std::u16string_view name, uint32_t* type,
                                uint8_t* data, uint32_t* size) {
  auto it = handles_.find(key);
  if (it == handles_.end()) return kErrorInvalidHandle;
  for (const Value& v : it->second.key->values) {
    if (!RegNameEquals(v.name, name)) continue;
    if (type != nullptr) *type = v.type;
    const uint32_t bytes = static_cast<uint32_t>(v.data.size());
    if (data == nullptr) {
      if (size != nullptr) *size = bytes;
      return kErrorSuccess;
    }
    if (size == nullptr) return kErrorInvalidData;
    if (*size < bytes) {
      *size = bytes;
      return kErrorMoreData;
    }
    std::copy(v.data.begin(), v.data.end(), data);
    *size = bytes;
    return kErrorSuccess;
  }
  return kErrorFileNotFound;
}

long MemoryRegistry::SetValue(RegHandle key, std::u16string_view name, uint32_t type,
                              const uint8_t* data, uint32_t size) {
  auto it = handles_.find(key);
  if (it == handles_.end()) return kErrorInvalidHandle;
  if (it->second.access != RegAccess::kWrite) return kErrorAccessDenied;
  std::vector<uint8_t> bytes(data, data + size);
  changes_.push_back(Change{"set", it->second.path, std::u16string(name), type, bytes});
  if (onChange) onChange(changes_.back());
  Key* k = it->second.key;
  for (Value& v : k->values) {
    if (RegNameEquals(v.name, name)) {
      v.type = type;
      v.data = std::move(bytes);
      return kErrorSuccess;
    }
  }
  k->values.push_back(Value{std::u16string(name), type, std::move(bytes)});
  return kErrorSuccess;
}

long MemoryRegistry::DeleteValue(RegHandle key, std::u16string_view name) {
  auto it = handles_.find(key);
  if (it == handles_.end()) return kErrorInvalidHandle;
  if (it->second.access != RegAccess::kWrite) return kErrorAccessDenied;
  changes_.push_back(Change{"delete", it->second.path, std::u16string(name), kRegNone, {}});
  if (onChange) onChange(changes_.back());
  std::vector<Value>& values = it->second.key->values;
  for (auto v = values.begin(); v != values.end(); ++v) {
    if (RegNameEquals(v->name, name)) {
      values.erase(v);
      return kErrorSuccess;
    }
  }
  return kErrorFileNotFound;
}

void MemoryRegistry::CloseKey(RegHandle key) {
  handles_.erase(key);
}

}  // namespace lumatrove
