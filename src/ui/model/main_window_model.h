// What the main window computes, free of any window: status-bar prompts, tooltips of
// commands, which commands depend on the current row, the status bar's parts, shortened
// cell texts, the rows of the profile list and the texts about opening the store.
#pragma once

#include <array>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "store/profile_store.h"
#include "ui/res/resource.h"

namespace lumatrove {

// A command string is "prompt\ntooltip"; without a line feed the text serves as both.
std::u16string PromptPart(std::u16string_view text);
std::u16string TooltipPart(std::u16string_view text);

// The status-bar text while the cursor is over the control `id` whose string resource is
// `text` ("" when it has none).
std::u16string ControlPrompt(int id, std::u16string_view text);

// Commands that need a current row: menu items, and the toolbar buttons among them.
inline constexpr std::array<int, 6> kRowMenuCommands = {ID_PROFILE_APPLY,  ID_PROFILE_PROPERTIES,
                                                        ID_PROFILE_MODIFY, ID_PROFILE_REMOVE,
                                                        ID_PROFILE_COPY,   ID_SHORTCUT};
inline constexpr std::array<int, 4> kRowToolbarCommands = {ID_PROFILE_APPLY, ID_PROFILE_PROPERTIES,
                                                           ID_PROFILE_MODIFY, ID_PROFILE_REMOVE};

// Right edges of the status bar's three parts for a client width.
std::array<int, 3> StatusBarParts(int clientWidth);

// The longest prefix of `text` (at most 519 characters) that fits `width` with "..." after
// it, or `text` itself when it fits; `extent` measures a text in pixels.
std::u16string ShortenText(std::u16string_view text, int width, int offset,
                           const std::function<int(std::u16string_view)>& extent);

// The main window's pixel sizes are laid out for 96 DPI and scaled to the system's DPI.
int ScaleToDpi(int pixels, int dpi);
// The icon size among `held` nearest to `wanted` (the smaller one on a tie, so that it fits
// where the wanted size was planned).
int NearestIconSize(int wanted, std::initializer_list<int> held);

// The widths of the profile list's columns (icon, "NO.", name, creation time) at `dpi`: the
// 96-DPI widths scaled, the name column narrowed (to half its width at most) so that all of
// them fit `available` pixels, which the list's font may not grow by the same factor.
std::array<int, 4> ProfileColumnWidths(int dpi, int available);

// A profile's name as menus and messages show it: one longer than 40 characters is cut to
// 40 and ends in "…" (a character pair is never split). The stored name stays whole.
inline constexpr size_t kShownNameLength = 40;
std::u16string ShortProfileName(std::u16string_view name);

// The rows of the profile list as they were last filled: what each row shows and its
// tooltip, kept apart from the store so that the rows and profileIds always describe the same
// list, even while the store has already been reopened. The list control asks for the rows
// it draws; nothing is made per row up front besides these texts.
class ProfileRows {
 public:
  void Fill(const std::vector<std::unique_ptr<Profile>>& profiles);
  void Clear();
  int Count() const { return static_cast<int>(rows_.size()); }
  // The ID and the name of the profile that `row` stands for; "" out of range.
  std::u16string Id(int row) const;
  std::u16string Name(int row) const;
  // Column 1 is the row's number from 1 ("NO."), 2 the name, 3 the creation time; column 0
  // and rows out of range have no text.
  std::u16string CellText(int row, int column) const;
  // The text shown over (row, column): the row's summary, cut to `maxLength` characters;
  // "" out of range.
  std::u16string ToolTip(int row, int maxLength) const;
  // The length of the longest summary, in characters.
  size_t LongestToolTip() const { return longest_; }
  // Which rows stand for profiles that Windows uses now (one flag per row; missing flags
  // are false).
  void SetLive(const std::vector<bool>& live);
  bool IsLive(int row) const;

 private:
  struct Row {
    std::u16string id, name, dateTime, summary;
    bool live = false;
  };
  std::vector<Row> rows_;
  size_t longest_ = 0;
};

// The current row after row `removed` was removed and `rowsLeft` rows remain: the row above,
// or the new first row when the first was removed; -1 when none remains.
int CurrentRowAfterRemove(int removed, int rowsLeft);

// The message shown when the configuration file could not be opened; when a damaged file
// was kept aside, a second line names the copy.
std::u16string OpenFailedMessage(const FilePath& keptCopy);

// What the action log says about the IDs that opening the store repaired, one entry each.
std::vector<std::u16string> IdRepairLogLines(const IdRepairs& repairs);

}  // namespace lumatrove
