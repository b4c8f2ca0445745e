// A small writer of JSON text: objects, arrays, strings, booleans and numbers, with commas
// and escapes in their places. Text stays UTF-16; the output turns it into UTF-8.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lumatrove {

class JsonText {
 public:
  JsonText& BeginObject() { return Open(u'{'); }
  JsonText& EndObject() { return Close(u'}'); }
  JsonText& BeginArray() { return Open(u'['); }
  JsonText& EndArray() { return Close(u']'); }
  // An object's member name; the value written next belongs to it.
  JsonText& Key(std::u16string_view name);
  JsonText& String(std::u16string_view value);
  JsonText& Bool(bool value);
  JsonText& Number(int64_t value);
  JsonText& Strings(const std::vector<std::u16string>& values);

  const std::u16string& Text() const { return text_; }

 private:
  JsonText& Open(char16_t bracket);
  JsonText& Close(char16_t bracket);
  void BeforeValue();

  std::u16string text_;
  std::vector<bool> first_;  // per open bracket: nothing written in it yet
  bool afterKey_ = false;
};

}  // namespace lumatrove
