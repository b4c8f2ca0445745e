#include "ui/model/main_window_model.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "base/ascii_text.h"
#include "texts.h"

namespace lumatrove {

std::u16string PromptPart(std::u16string_view text) {
  return std::u16string(text.substr(0, text.find(u'\n')));
}

std::u16string TooltipPart(std::u16string_view text) {
  const size_t lf = text.find(u'\n');
  return std::u16string(lf == std::u16string_view::npos ? text : text.substr(lf + 1));
}

std::u16string ControlPrompt(int id, std::u16string_view text) {
  if (id == 100 || text.empty()) return std::u16string(texts::kDefaultPrompt);
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

void ProfileRows::Fill(const std::vector<std::unique_ptr<Profile>>& profiles) {
  rows_.clear();
  rows_.reserve(profiles.size());
  longest_ = 0;
  for (const std::unique_ptr<Profile>& p : profiles) {
    rows_.push_back({p->id, p->name, p->dateTime, p->summary});
    longest_ = std::max(longest_, p->summary.size());
  }
}

void ProfileRows::Clear() {
  rows_.clear();
  longest_ = 0;
}

std::u16string ProfileRows::Id(int row) const {
  return row >= 0 && row < Count() ? rows_[static_cast<size_t>(row)].id : std::u16string();
}

std::u16string ProfileRows::Name(int row) const {
  return row >= 0 && row < Count() ? rows_[static_cast<size_t>(row)].name : std::u16string();
}

std::u16string ProfileRows::CellText(int row, int column) const {
  if (row < 0 || row >= Count()) return {};
  switch (column) {
    case 1:
      return DecimalText(int64_t{row} + 1);
    case 2:
      return rows_[static_cast<size_t>(row)].name;
    case 3:
      return rows_[static_cast<size_t>(row)].dateTime;
    default:
      return {};
  }
}

std::u16string ProfileRows::ToolTip(int row, int maxLength) const {
  if (row < 0 || row >= Count() || maxLength <= 0) return {};
  const std::u16string& text = rows_[static_cast<size_t>(row)].summary;
  return text.substr(0, static_cast<size_t>(maxLength));
}

int ScaleToDpi(int pixels, int dpi) {
  return static_cast<int>((static_cast<int64_t>(pixels) * dpi + 48) / 96);
}

int NearestIconSize(int wanted, std::initializer_list<int> held) {
  int best = 0;
  for (int size : held) {
    const int d = std::abs(size - wanted), bestD = std::abs(best - wanted);
    if (best == 0 || d < bestD || (d == bestD && size < best)) best = size;
  }
  return best;
}

std::array<int, 4> ProfileColumnWidths(int dpi, int available) {
  std::array<int, 4> widths = {37, 40, 225, 120};
  int total = 0;
  for (int& w : widths) {
    w = ScaleToDpi(w, dpi);
    total += w;
  }
  const int over = total - available;
  if (over > 0) widths[2] = std::max(widths[2] / 2, widths[2] - over);
  return widths;
}

std::u16string ShortProfileName(std::u16string_view name) {
  if (name.size() <= kShownNameLength) return std::u16string(name);
  size_t cut = kShownNameLength;
  if (name[cut - 1] >= 0xD800 && name[cut - 1] < 0xDC00) --cut;  // the first of a pair
  return std::u16string(name.substr(0, cut)) + u"…";
}

std::u16string OpenFailedMessage(const FilePath& keptCopy) {
  std::u16string text(texts::kOpenFailed);
  if (!keptCopy.empty()) text += u"\n" + texts::KeptCopy(keptCopy.FileName());
  return text;
}

std::vector<std::u16string> IdRepairLogLines(const IdRepairs& repairs) {
  std::vector<std::u16string> lines;
  for (const RenumberedProfile& r : repairs.renumbered) {
    if (r.oldId.empty()) {
      lines.push_back(texts::IdMissing(r.name, r.newId));
    } else {
      lines.push_back(texts::IdShared(r.name, r.oldId, r.newId));
    }
  }
  if (!repairs.newLastId.empty()) {
    lines.push_back(repairs.oldLastId.empty()
                        ? texts::LastIdSet(repairs.newLastId)
                        : texts::LastIdRaised(repairs.oldLastId, repairs.newLastId));
  }
  return lines;
}

void ProfileRows::SetLive(const std::vector<bool>& live) {
  for (size_t i = 0; i < rows_.size(); ++i)
    rows_[i].live = i < live.size() && live[i];
}

bool ProfileRows::IsLive(int row) const {
  return row >= 0 && row < Count() && rows_[static_cast<size_t>(row)].live;
}

int CurrentRowAfterRemove(int removed, int rowsLeft) {
  if (removed >= 1) return removed - 1;
  return rowsLeft > 0 ? 0 : -1;
}

}  // namespace lumatrove
