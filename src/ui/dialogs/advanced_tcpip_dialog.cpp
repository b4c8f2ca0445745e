#include "ui/dialogs/advanced_tcpip_dialog.h"

#include <functional>
#include <string>

#include "store/address_text.h"
#include "texts.h"
#include "ui/dialogs/advanced_tcpip_dialog_res.h"
#include "ui/dialogs/dialog_context.h"
#include "ui/model/advanced_tcpip_model.h"
#include "ui/res/resource.h"
#include "ui/win/controls.h"
#include "ui/win/dialog.h"

namespace lumatrove {
namespace {

// One entry as its dialog shows it: an address, and a mask or a metric.
struct Entry {
  enum class Kind { kAddress, kGateway, kDns } kind = Kind::kAddress;
  std::u16string address;
  std::u16string mask;
  uint32_t metric = 0;  // 0: automatic
};

// Adds or edits one entry; `take` hands the entry to the lists and answers "" or why not, which
// is said while the dialog stays open.
class EntryDialog : public win::Dialog {
 public:
  EntryDialog(Entry entry, std::function<std::u16string(const Entry&)> take)
      : Dialog(IDD_ADVANCED_ENTRY), entry_(std::move(entry)), take_(std::move(take)) {}

 protected:
  bool OnInit() override {
    const bool address = entry_.kind == Entry::Kind::kAddress;
    const bool gateway = entry_.kind == Entry::Kind::kGateway;
    ShowItem(IDC_ENTRY_MASK_LABEL, address);
    ShowItem(IDC_ENTRY_MASK, address);
    ShowItem(IDC_ENTRY_AUTOMATIC_METRIC, gateway);
    ShowItem(IDC_ENTRY_METRIC_LABEL, gateway);
    ShowItem(IDC_ENTRY_METRIC, gateway);
    Show(IDC_ENTRY_ADDRESS, entry_.address);
    if (address) Show(IDC_ENTRY_MASK, entry_.mask);
    if (gateway) {
      CheckButton(IDC_ENTRY_AUTOMATIC_METRIC, entry_.metric == 0);
      if (entry_.metric != 0) SetItemText(IDC_ENTRY_METRIC, DecimalText(entry_.metric));
      EnableItem(IDC_ENTRY_METRIC, entry_.metric != 0);
    }
    return true;
  }

  bool OnCommand(int id, int code, HWND) override {
    if (id == IDC_ENTRY_AUTOMATIC_METRIC && code == BN_CLICKED) {
      EnableItem(IDC_ENTRY_METRIC, !IsButtonChecked(IDC_ENTRY_AUTOMATIC_METRIC));
      return true;
    }
    return false;
  }

  void OnOk() override {
    Entry e = entry_;
    e.address = Read(IDC_ENTRY_ADDRESS);
    if (e.kind == Entry::Kind::kAddress) e.mask = Read(IDC_ENTRY_MASK);
    if (e.kind == Entry::Kind::kGateway) {
      e.metric = 0;
      if (!IsButtonChecked(IDC_ENTRY_AUTOMATIC_METRIC)) {
        const std::u16string text = ItemText(IDC_ENTRY_METRIC);
        e.metric = kMaxGatewayMetric + 1;  // refused below unless it is 1 to 9999
        if (!text.empty() && text.size() <= 4) {
          e.metric = 0;
          for (char16_t c : text)
            e.metric = e.metric * 10 + static_cast<uint32_t>(c - u'0');
          if (e.metric == 0) e.metric = kMaxGatewayMetric + 1;
        }
      }
    }
    const std::u16string refused = take_(e);
    if (!refused.empty()) {
      ShowMessage(Handle(), refused, MB_ICONEXCLAMATION);
      SetFocus(Item(IDC_ENTRY_ADDRESS));
      return;
    }
    End(IDOK);
  }

 private:
  std::u16string Read(int id) const {
    uint32_t value = 0;
    if (!win::IpAddressCtrl(Item(id)).GetAddress(value)) return {};
    return AddressToText(value);
  }
  void Show(int id, const std::u16string& text) const {
    const win::IpAddressCtrl control(Item(id));
    if (IsDottedQuad(text)) control.SetAddress(TextToAddress(text));
  }
  void SetItemText(int id, const std::u16string& text) const {
    SetDlgItemTextW(Handle(), id, win::W(text));
  }

  Entry entry_;
  std::function<std::u16string(const Entry&)> take_;
};

class AdvancedTcpIpDialog : public win::Dialog {
 public:
  explicit AdvancedTcpIpDialog(ConnectionSetting& connection)
      : Dialog(IDD_ADVANCED_TCPIP), connection_(connection), lists_(connection) {}

 protected:
  bool OnInit() override {
    SetIcons(IDI_APP);
    Fill();
    return true;
  }

  bool OnCommand(int id, int code, HWND) override {
    switch (id) {
      case IDC_ADVANCED_ADDRESSES:
      case IDC_ADVANCED_GATEWAYS:
      case IDC_ADVANCED_DNS:
        if (code == LBN_DBLCLK) Edit(ListKind(id), false);
        if (code == LBN_SELCHANGE) UpdateButtons();
        return true;
      case IDC_ADVANCED_ADDRESS_ADD:
      case IDC_ADVANCED_GATEWAY_ADD:
      case IDC_ADVANCED_DNS_ADD:
        Edit(ListKind(id - 1), true);
        return true;
      case IDC_ADVANCED_ADDRESS_EDIT:
      case IDC_ADVANCED_GATEWAY_EDIT:
      case IDC_ADVANCED_DNS_EDIT:
        Edit(ListKind(id - 2), false);
        return true;
      case IDC_ADVANCED_ADDRESS_REMOVE:
      case IDC_ADVANCED_GATEWAY_REMOVE:
      case IDC_ADVANCED_DNS_REMOVE:
        Remove(ListKind(id - 3));
        return true;
      case IDC_ADVANCED_DNS_UP:
      case IDC_ADVANCED_DNS_DOWN: {
        const int at = Selected(IDC_ADVANCED_DNS);
        if (at >= 0 && lists_.MoveDnsServer(static_cast<size_t>(at), id == IDC_ADVANCED_DNS_UP)) {
          Fill();
          Select(IDC_ADVANCED_DNS, id == IDC_ADVANCED_DNS_UP ? at - 1 : at + 1);
        }
        return true;
      }
      default:
        return false;
    }
  }

  // Delete in a list removes its selected entry.
  bool PreTranslateMessage(MSG& msg) override {
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_DELETE) {
      for (int list : {IDC_ADVANCED_ADDRESSES, IDC_ADVANCED_GATEWAYS, IDC_ADVANCED_DNS}) {
        if (msg.hwnd == Item(list)) {
          Remove(ListKind(list));
          return true;
        }
      }
    }
    return Dialog::PreTranslateMessage(msg);
  }

  void OnOk() override {
    lists_.StoreInto(connection_);
    End(IDOK);
  }

 private:
  static Entry::Kind ListKind(int listId) {
    return listId == IDC_ADVANCED_ADDRESSES  ? Entry::Kind::kAddress
           : listId == IDC_ADVANCED_GATEWAYS ? Entry::Kind::kGateway
                                             : Entry::Kind::kDns;
  }
  static int ListOf(Entry::Kind kind) {
    return kind == Entry::Kind::kAddress   ? IDC_ADVANCED_ADDRESSES
           : kind == Entry::Kind::kGateway ? IDC_ADVANCED_GATEWAYS
                                           : IDC_ADVANCED_DNS;
  }
  int Selected(int list) const {
    return static_cast<int>(SendDlgItemMessageW(Handle(), list, LB_GETCURSEL, 0, 0));
  }
  void Select(int list, int at) const {
    SendDlgItemMessageW(Handle(), list, LB_SETCURSEL, static_cast<WPARAM>(at), 0);
    UpdateButtons();
  }

  void Fill() const {
    auto fill = [&](int list, const std::vector<std::u16string>& lines) {
      SendDlgItemMessageW(Handle(), list, LB_RESETCONTENT, 0, 0);
      for (const std::u16string& line : lines)
        SendDlgItemMessageW(Handle(), list, LB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(win::W(line)));
    };
    std::vector<std::u16string> lines;
    for (const AddressPair& p : lists_.Addresses())
      lines.push_back(p.address + u" / " + p.mask);
    fill(IDC_ADVANCED_ADDRESSES, lines);
    lines.clear();
    for (const GatewayEntry& g : lists_.Gateways())
      lines.push_back(texts::GatewayLine(g.address, g.metric == 0
                                                        ? std::u16string(texts::kMetricAutomatic)
                                                        : DecimalText(g.metric)));
    fill(IDC_ADVANCED_GATEWAYS, lines);
    fill(IDC_ADVANCED_DNS, lists_.DnsServers());
    UpdateButtons();
  }

  void UpdateButtons() const {
    const int address = Selected(IDC_ADVANCED_ADDRESSES);
    const int gateway = Selected(IDC_ADVANCED_GATEWAYS);
    const int dns = Selected(IDC_ADVANCED_DNS);
    EnableItem(IDC_ADVANCED_ADDRESS_EDIT, address >= 0);
    EnableItem(IDC_ADVANCED_ADDRESS_REMOVE, address >= 0);
    EnableItem(IDC_ADVANCED_GATEWAY_EDIT, gateway >= 0);
    EnableItem(IDC_ADVANCED_GATEWAY_REMOVE, gateway >= 0);
    EnableItem(IDC_ADVANCED_DNS_EDIT, dns >= 0);
    EnableItem(IDC_ADVANCED_DNS_REMOVE, dns >= 0);
    EnableItem(IDC_ADVANCED_DNS_UP, dns > 0);
    EnableItem(IDC_ADVANCED_DNS_DOWN,
               dns >= 0 && static_cast<size_t>(dns) + 1 < lists_.DnsServers().size());
  }

  // Adds an entry to the list of `kind`, or edits its selected one.
  void Edit(Entry::Kind kind, bool add) {
    const int list = ListOf(kind);
    const int at = add ? -1 : Selected(list);
    if (!add && at < 0) return;
    const size_t place = add ? AdvancedTcpIp::kAdd : static_cast<size_t>(at);
    Entry entry;
    entry.kind = kind;
    if (!add && kind == Entry::Kind::kAddress) {
      entry.address = lists_.Addresses()[place].address;
      entry.mask = lists_.Addresses()[place].mask;
    } else if (!add && kind == Entry::Kind::kGateway) {
      entry.address = lists_.Gateways()[place].address;
      entry.metric = lists_.Gateways()[place].metric;
    } else if (!add) {
      entry.address = lists_.DnsServers()[place];
    }
    EntryDialog dialog(entry, [&](const Entry& e) {
      switch (e.kind) {
        case Entry::Kind::kAddress:
          return lists_.SetAddress(place, e.address, e.mask);
        case Entry::Kind::kGateway:
          return lists_.SetGateway(place, e.address, e.metric);
        case Entry::Kind::kDns:
          return lists_.SetDnsServer(place, e.address);
      }
      return std::u16string();
    });
    if (dialog.RunModal(Handle()) != IDOK) return;
    Fill();
    const int count = static_cast<int>(SendDlgItemMessageW(Handle(), list, LB_GETCOUNT, 0, 0));
    Select(list, add ? count - 1 : at);
  }

  void Remove(Entry::Kind kind) {
    const int list = ListOf(kind);
    const int at = Selected(list);
    if (at < 0) return;
    const auto place = static_cast<size_t>(at);
    if (kind == Entry::Kind::kAddress) lists_.RemoveAddress(place);
    if (kind == Entry::Kind::kGateway) lists_.RemoveGateway(place);
    if (kind == Entry::Kind::kDns) lists_.RemoveDnsServer(place);
    Fill();
    const int count = static_cast<int>(SendDlgItemMessageW(Handle(), list, LB_GETCOUNT, 0, 0));
    if (count > 0) Select(list, at < count ? at : count - 1);
    SetFocus(Item(list));
  }

  ConnectionSetting& connection_;
  AdvancedTcpIp lists_;
};

}  // namespace

bool ShowAdvancedTcpIpDialog(HWND owner, ConnectionSetting& connection) {
  AdvancedTcpIpDialog dialog(connection);
  return dialog.RunModal(owner) == IDOK;
}

}  // namespace lumatrove
