#include "console/json_text.h"

#include "base/ascii_text.h"

namespace lumatrove {

void JsonText::BeforeValue() {
  if (afterKey_) {
    afterKey_ = false;
    return;
  }
  if (!first_.empty()) {
    if (!first_.back()) text_ += u',';
    first_.back() = false;
  }
}

JsonText& JsonText::Open(char16_t bracket) {
  BeforeValue();
  text_ += bracket;
  first_.push_back(true);
  return *this;
}

JsonText& JsonText::Close(char16_t bracket) {
  text_ += bracket;
  first_.pop_back();
  return *this;
}

JsonText& JsonText::Key(std::u16string_view name) {
  String(name);
  text_ += u':';
  afterKey_ = true;
  return *this;
}

JsonText& JsonText::String(std::u16string_view value) {
  BeforeValue();
  static constexpr char16_t kHex[] = u"0123456789abcdef";
  text_ += u'"';
  for (char16_t c : value) {
    switch (c) {
      case u'"':
        text_ += u"\\\"";
        break;
      case u'\\':
        text_ += u"\\\\";
        break;
      case u'\n':
        text_ += u"\\n";
        break;
      case u'\r':
        text_ += u"\\r";
        break;
      case u'\t':
        text_ += u"\\t";
        break;
      default:
        if (c < 0x20) {
          text_ += u"\\u00";
          text_ += kHex[c >> 4];
          text_ += kHex[c & 15];
        } else {
          text_ += c;
        }
    }
  }
  text_ += u'"';
  return *this;
}

JsonText& JsonText::Bool(bool value) {
  BeforeValue();
  text_ += value ? u"true" : u"false";
  return *this;
}

JsonText& JsonText::Number(int64_t value) {
  BeforeValue();
  text_ += DecimalText(value);
  return *this;
}

JsonText& JsonText::Strings(const std::vector<std::u16string>& values) {
  BeginArray();
  for (const std::u16string& v : values)
    String(v);
  return EndArray();
}

}  // namespace lumatrove
