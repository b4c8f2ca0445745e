#include "ui/dialogs/lan_computers_dialog.h"

// After windows.h.
#include <commctrl.h>

#include "texts.h"
#include "ui/dialogs/lan_computers_dialog_res.h"
#include "ui/win/dialog.h"

namespace lumatrove {
namespace {

class LanComputersDialog : public win::Dialog {
 public:
  explicit LanComputersDialog(NetEnumSystem& network);

 protected:
  bool OnInit() override;

 private:
  NetEnumSystem& network_;
};

using win::W;

LanComputersDialog::LanComputersDialog(NetEnumSystem& network)
    : Dialog(IDD_LAN_COMPUTERS), network_(network) {}

bool LanComputersDialog::OnInit() {
  const win::Window list(Item(IDC_LAN_LIST));
  list.Send(LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
            LVS_EX_GRIDLINES | LVS_EX_HEADERDRAGDROP | LVS_EX_FULLROWSELECT |
                LVS_EX_ONECLICKACTIVATE | LVS_EX_FLATSB);
  const std::u16string headings[] = {std::u16string(texts::kLanComputer),
                                     std::u16string(texts::kLanAddress)};
  for (int i = 0; i < 2; ++i) {
    LVCOLUMNW c{};
    c.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    c.fmt = LVCFMT_LEFT;
    c.cx = 200;
    c.pszText = const_cast<wchar_t*>(W(headings[i]));
    list.Send(LVM_INSERTCOLUMNW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&c));
  }
  // The network browser may take seconds; the list shows once it has answered.
  const std::vector<std::u16string> names = LanComputerNames(network_);
  const std::u16string noAddress(texts::kLanNoAddress);
  for (size_t row = 0; row < names.size(); ++row) {
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = static_cast<int>(row);
    item.pszText = const_cast<wchar_t*>(W(names[row]));
    const int at = static_cast<int>(list.Send(LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    item.iItem = at;
    item.iSubItem = 1;
    item.pszText = const_cast<wchar_t*>(W(noAddress));
    list.Send(LVM_SETITEMTEXTW, static_cast<WPARAM>(at), reinterpret_cast<LPARAM>(&item));
  }
  return true;
}

}  // namespace

void ShowLanComputersDialog(NetEnumSystem& network) {
  LanComputersDialog dialog(network);
  dialog.RunModal(nullptr);
}

}  // namespace lumatrove
