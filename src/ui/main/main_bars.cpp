#include "ui/main/main_bars.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <string_view>
#include <vector>

#include "texts.h"
#include "ui/model/main_window_model.h"
#include "ui/res/resource.h"

namespace lumatrove {
namespace {

constexpr UINT kToolBarId = 0xE800;

// The toolbar's buttons: command, image, image under the mouse, text.
struct ToolButton {
  int command;
  UINT image;
  UINT hotImage;
  std::u16string_view text;  // a literal: the toolbar reads it up to its NUL
};
constexpr ToolButton kToolButtons[] = {
    {ID_PROFILE_APPLY, IDB_APPLY, IDB_APPLY_HOT, texts::kToolApply},
    {ID_PROFILE_PROPERTIES, IDB_VIEW, IDB_VIEW_HOT, texts::kToolView},
    {ID_PROFILE_NEW, IDB_ADD, IDB_ADD_HOT, texts::kToolAdd},
    {ID_PROFILE_MODIFY, IDB_MODIFY, IDB_MODIFY_HOT, texts::kToolModify},
    {ID_PROFILE_REMOVE, IDB_REMOVE, IDB_REMOVE_HOT, texts::kToolRemove},
    {ID_DONATE, IDB_DONATE, IDB_DONATE_HOT, texts::kToolDonate},
    {ID_APP_ABOUT, IDB_ABOUT, IDB_ABOUT_HOT, texts::kToolAbout},
    {ID_HELP_CONTENTS, IDB_HELP, IDB_HELP_HOT, texts::kToolHelp},
};

// The toolbar's layout resource: version, image width, height, count, then the commands.
std::vector<int> ToolBarLayout() {
  std::vector<int> ids;
  HINSTANCE module = GetModuleHandleW(nullptr);
  HRSRC found =
      FindResourceW(module, MAKEINTRESOURCEW(IDR_TOOLBAR), MAKEINTRESOURCEW(RT_TOOLBAR_LAYOUT));
  if (found == nullptr) return ids;
  HGLOBAL loaded = LoadResource(module, found);
  const auto* words = static_cast<const WORD*>(LockResource(loaded));
  const DWORD bytes = SizeofResource(module, found);
  if (words == nullptr || bytes < 8) return ids;
  const size_t count = words[3];
  for (size_t i = 0; i < count && 8 + 2 * i + 2 <= bytes; ++i)
    ids.push_back(words[4 + i]);
  return ids;
}

}  // namespace

bool MainToolBar::Create(HWND parent, int dpi) {
  const auto px = [dpi](int pixels) { return ScaleToDpi(pixels, dpi); };
  HINSTANCE module = GetModuleHandleW(nullptr);
  Attach(CreateWindowExW(
      0, TOOLBARCLASSNAMEW, nullptr,
      WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_TOP | CCS_NODIVIDER, 0, 0, 0, 0,
      parent, reinterpret_cast<HMENU>(kToolBarId), module, nullptr));
  if (!*this) return false;
  Send(TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON));

  // The buttons' images, in the order of the table; white is transparent. The bitmaps are
  // drawn for 96 DPI and stretched to the screen's.
  const int side = px(32);
  images_.Reset(ImageList_Create(side, side, ILC_COLOR32 | ILC_MASK, 5, 0));
  hotImages_.Reset(ImageList_Create(side, side, ILC_COLOR32 | ILC_MASK, 5, 0));
  auto image = [side](UINT id) {
    win::Bitmap bitmap = win::LoadBitmapResource(id);
    if (side == 32) return bitmap;
    win::Bitmap stretched = win::StretchedBitmap(bitmap.Get(), side, side);
    return stretched ? std::move(stretched) : std::move(bitmap);
  };
  for (const ToolButton& b : kToolButtons) {
    ImageList_AddMasked(images_.Get(), image(b.image).Get(), RGB(255, 255, 255));
    ImageList_AddMasked(hotImages_.Get(), image(b.hotImage).Get(), RGB(255, 255, 255));
  }
  Send(TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images_.Get()));
  Send(TB_SETHOTIMAGELIST, 0, reinterpret_cast<LPARAM>(hotImages_.Get()));

  // The slots as the toolbar resource lays them out; each command's image and text from the
  // table, separators where the resource has none.
  std::vector<TBBUTTON> buttons;
  for (int id : ToolBarLayout()) {
    TBBUTTON b{};
    const auto found = std::find_if(std::begin(kToolButtons), std::end(kToolButtons),
                                    [id](const ToolButton& t) { return t.command == id; });
    if (found == std::end(kToolButtons)) {
      b.fsStyle = BTNS_SEP;
    } else {
      b.iBitmap = static_cast<int>(found - std::begin(kToolButtons));
      b.idCommand = id;
      b.fsState = TBSTATE_ENABLED;
      b.fsStyle = BTNS_BUTTON;
      b.iString = reinterpret_cast<INT_PTR>(found->text.data());
    }
    buttons.push_back(b);
  }
  Send(TB_ADDBUTTONSW, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
  Send(TB_SETBITMAPSIZE, 0, MAKELPARAM(side, px(40)));
  Send(TB_SETBUTTONSIZE, 0, MAKELPARAM(px(52), px(62)));
  Send(TB_SETINDENT, static_cast<WPARAM>(px(4)));
  Send(TB_AUTOSIZE);
  Show(SW_SHOW);
  return true;
}

void MainToolBar::EnableButton(int command, bool on) const {
  Send(TB_ENABLEBUTTON, static_cast<WPARAM>(command), MAKELPARAM(on ? 1 : 0, 0));
}

bool MainStatusBar::Create(HWND parent) {
  Attach(CreateWindowExW(0, STATUSCLASSNAMEW, nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, parent,
                         reinterpret_cast<HMENU>(IDC_STATUSBAR), GetModuleHandleW(nullptr),
                         nullptr));
  if (!*this) return false;
  const RECT r = ClientRect();
  const std::array<int, 3> parts = StatusBarParts(r.right - r.left);
  Send(SB_SETPARTS, 3, reinterpret_cast<LPARAM>(parts.data()));
  SetPrompt(std::u16string(texts::kDefaultPrompt));
  return true;
}

void MainStatusBar::SetPrompt(const std::u16string& text) const {
  if (*this) Send(SB_SETTEXTW, 0 | SBT_POPOUT, reinterpret_cast<LPARAM>(win::W(text)));
}

}  // namespace lumatrove
