#include "base/system_error_text.h"

namespace lumatrove {

std::u16string LastSystemErrorText() {
  std::u16string out = SystemErrorText(LastErrorCode());
  const size_t cut = out.find_first_of(u"\r\n");
  if (cut != std::u16string::npos) out.resize(cut);
  if (out.size() > 100) out.resize(100);
  return out;
}

}  // namespace lumatrove
