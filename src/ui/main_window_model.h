// What the main window computes, free of any window: status-bar prompts, tooltips of
// commands, which commands depend on the current row, the status bar's parts, shortened
// cell texts and the rows' tooltip texts.
#pragma once

#include <array>
#include <functional>
#include <map>
#include <string>
#include <string_view>

namespace lumatrove {

inline constexpr std::u16string_view kDefaultPrompt = u"\u96d9\u64ca\u5957\u7528IP\u7d44\u614b";
inline constexpr std::u16string_view kMessageCaption = u"Lumatrove";

// A command string is "prompt\ntooltip"; without a line feed the text serves as both.
std::u16string PromptPart(std::u16string_view text);
std::u16string TooltipPart(std::u16string_view text);

// The status-bar text while the cursor is over the control `id` whose string resource is
// `text` ("" when it has none).
std::u16string ControlPrompt(int id, std::u16string_view text);

// Commands that need a current row: menu items, and the toolbar buttons among them.
inline constexpr std::array<int, 6> kRowMenuCommands = {32777, 32804, 32776, 32795, 32796, 32812};
inline constexpr std::array<int, 4> kRowToolbarCommands = {32777, 32804, 32776, 32795};

// Right edges of the status bar's three parts for a client width.
std::array<int, 3> StatusBarParts(int clientWidth);

// The longest prefix of `text` (at most 519 characters) that fits `width` with "..." after
// it, or `text` itself when it fits; `extent` measures a text in pixels.
std::u16string ShortenText(std::u16string_view text, int width, int offset,
                           const std::function<int(std::u16string_view)>& extent);

// Tooltip texts of the profile list: one per (row, column), cut to a maximum length when
// handed out.
class RowTooltips {
 public:
  void Set(int row, int column, std::u16string text) {
    tips_[row * 100 + column] = std::move(text);
  }
  std::u16string Get(int row, int column) const;
  void Clear() { tips_.clear(); }
  size_t Count() const { return tips_.size(); }
  // The text shown over (row, column): column 0's text unless tips are per column, cut to
  // `maxLength` characters; "" when there is none.
  std::u16string Shown(int row, int column, bool perColumn, int maxLength) const;

 private:
  std::map<int, std::u16string> tips_;
};

}  // namespace lumatrove
