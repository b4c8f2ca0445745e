#include "ui/main_window_model.h"

namespace lumatrove {

std::u16string PromptPart(std::u16string_view text) {
  return std::u16string(text.substr(0, text.find(u'\n')));
}

std::u16string TooltipPart(std::u16string_view text) {
  const size_t lf = text.find(u'\n');
  return std::u16string(lf == std::u16string_view::npos ? text : text.substr(lf + 1));
}

std::u16string ControlPrompt(int id, std::u16string_view text) {
  if (id == 100 || text.empty()) return std::u16string(kDefaultPrompt);
  return PromptPart(text);
}

std::array<int, 3> StatusBarParts(int clientWidth) {
  return {clientWidth - 200, clientWidth - 100, -1};
}

std::u16string ShortenText(std::u16string_view text, int width, int offset,
                           const std::function<int(std::u16string_view)>& extent) {
  if (text.empty() || extent(text) + offset <= width) return std::u16string(text);
  std::u16string copy(text.substr(0, 519));
  const int dots = extent(u"...");
  for (size_t n = copy.size() - 1; n >= 1; --n) {
    copy.resize(n);
    if (extent(copy) + offset + dots <= width) break;
  }
  copy += u"...";
  return copy;
}

std::u16string RowTooltips::Get(int row, int column) const {
  auto it = tips_.find(row * 100 + column);
  return it == tips_.end() ? std::u16string() : it->second;
}

std::u16string RowTooltips::Shown(int row, int column, bool perColumn, int maxLength) const {
  std::u16string text = Get(row, perColumn ? column : 0);
  if (maxLength >= 0 && text.size() > static_cast<size_t>(maxLength)) text.resize(maxLength);
  return text;
}

}  // namespace lumatrove
