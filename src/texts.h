// Every text that the program's code shows or writes for its user, in one place; the menus,
// dialogs and command prompts are in the resource scripts (src/ui/res, src/ui/dialogs).
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

#include "base/ascii_text.h"

namespace lumatrove::texts {

using std::u16string;
using std::u16string_view;

// `pattern` with each "%s" replaced, in order, by the next of `values` (which are not scanned
// for "%s" in turn), so that a sentence reads whole with its placeholders.
inline u16string Fill(u16string_view pattern, std::initializer_list<u16string_view> values) {
  u16string out;
  auto value = values.begin();
  for (size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] == u'%' && i + 1 < pattern.size() && pattern[i + 1] == u's' &&
        value != values.end()) {
      out += *value++;
      ++i;
    } else {
      out += pattern[i];
    }
  }
  return out;
}

// Start-up: the outcome of applying the profile named by "-n".
inline constexpr u16string_view kCommandLineApplied = u"套用組態成功！";
inline constexpr u16string_view kCommandLineApplyFailed = u"套用組態失敗！該組態檔案已失效！";
// The elevation prompt of a "-n" start was refused (or could not be shown).
inline constexpr u16string_view kAdministratorNeeded =
    u"套用組態失敗！套用網路組態需要系統管理員權限。";

// Applying a profile: a value of a connection that cannot be applied, "網路組態【name】中存在"
// followed by what it is and the value. The address and mask texts are the old ones; the
// gateway, the DNS servers and the mode were added in the same pattern.
inline u16string ConnectionValueFault(u16string_view connection, u16string_view what,
                                      u16string_view value) {
  return Fill(u"網路組態【%s】中存在%s%s", {connection, what, value});
}
inline u16string BadAddress(u16string_view connection, u16string_view value) {
  return ConnectionValueFault(connection, u"非法IP位址!", value);
}
inline u16string BadMask(u16string_view connection, u16string_view value) {
  return ConnectionValueFault(connection, u"非法子網遮罩：", value);
}
// The mask value named when a further address has no mask at its place.
inline u16string NoMaskFor(u16string_view address) {
  return Fill(u"（%s 沒有子網遮罩）", {address});
}
inline constexpr u16string_view kGatewayLabel = u"預設通訊閘";
inline constexpr u16string_view kDnsServerLabel = u"DNS伺服器";
inline u16string BadServer(u16string_view connection, u16string_view label, u16string_view value) {
  return ConnectionValueFault(connection, Fill(u"非法%s：", {label}), value);
}
inline u16string UnknownMode(u16string_view connection, u16string_view value) {
  return ConnectionValueFault(connection, u"不明的設定方式：", value);
}

// A profile's summary, the tooltip of its row: per connection its name, then what applying
// it does.
inline constexpr u16string_view kSummaryNameOpen = u"【";
inline constexpr u16string_view kSummaryNameClose = u"】";
inline constexpr u16string_view kSummaryAddress = u"\n[IP]";
inline constexpr u16string_view kSummaryMask = u"\n[掩码]";
inline constexpr u16string_view kSummaryGateway = u"\n[网关]";
inline constexpr u16string_view kSummaryDns1 = u"\n[DNS1]";
inline constexpr u16string_view kSummaryDns2 = u"\n[DNS2]";
// Lines of the entries after the first: the metric of a further gateway, and a DNS server
// from the third on ("[DNS3]").
inline constexpr u16string_view kSummaryMetric = u"（躍點 %s）";
inline constexpr u16string_view kSummaryMoreDns = u"[DNS%s]";
inline constexpr u16string_view kSummaryAutomatic = u"-自動取得IP\n";
inline constexpr u16string_view kSummaryLeaveAlone = u"-不配置\n";

// The main window.
inline constexpr u16string_view kCaption = u"Lumatrove";
inline constexpr u16string_view kTrayTip = u"Torvane（Lumatrove）";
inline constexpr u16string_view kDefaultPrompt = u"雙擊套用IP組態";
// The toolbar's button texts.
inline constexpr u16string_view kToolApply = u"啟用";
inline constexpr u16string_view kToolView = u"檢視...";
inline constexpr u16string_view kToolAdd = u"加入";
inline constexpr u16string_view kToolModify = u"修改";
inline constexpr u16string_view kToolRemove = u"移除";
inline constexpr u16string_view kToolDonate = u"捐助";
inline constexpr u16string_view kToolAbout = u"關於";
inline constexpr u16string_view kToolHelp = u"幫助";
inline constexpr u16string_view kColumnNumber = u"NO.";
inline constexpr u16string_view kColumnName = u"名稱";
inline constexpr u16string_view kColumnCreated = u"建立時間";
inline constexpr u16string_view kOpenFailed = u"開啟組態系統組態檔案錯誤！";
inline u16string KeptCopy(u16string_view fileName) {
  return Fill(u"原檔案已另存為 %s", {fileName});
}
inline constexpr u16string_view kAdaptersFailed = u"載入網卡訊息有誤！";
inline constexpr u16string_view kSaveFailed = u"儲存組態檔案失敗!";
inline constexpr u16string_view kSaved = u"儲存成功!";
inline constexpr u16string_view kSavedLogEntry = u"建立一個新組態檔案,備份組態檔案成功!";
inline constexpr u16string_view kNoProfileSelected = u"沒有選中任何組態!";
inline u16string ProfileApplied(u16string_view name) {
  return Fill(u"套用網路組態[%s]成功!", {name});
}
inline constexpr u16string_view kApplyFailed = u"網路連線失敗!請檢查是否網線是否已連線!";
inline constexpr u16string_view kClearLogQuestion = u"確認要清除日志檔案嗎？";
inline constexpr u16string_view kClearLogFailed = u"清除日志檔案失敗!";

// What Windows shows after an apply.
inline constexpr u16string_view kLiveAdapterMissing = u"找不到這張網路卡";
inline constexpr u16string_view kLiveNoAddress = u"沒有位址";
// One setting that Windows does not show as the profile has it: "DNS伺服器 1.1.1.1（應為
// 8.8.8.8）". Several are joined by "；".
inline constexpr u16string_view kAddressLabel = u"IP位址";
inline constexpr u16string_view kMaskLabel = u"子網遮罩";
inline constexpr u16string_view kDhcpLabel = u"DHCP";
inline constexpr u16string_view kLiveOn = u"啟用";
inline constexpr u16string_view kLiveOff = u"停用";
inline constexpr u16string_view kLiveNone = u"沒有";
inline u16string ShownDifference(u16string_view label, u16string_view shows,
                                 u16string_view wanted) {
  return Fill(u"%s %s（應為 %s）", {label, shows, wanted});
}
inline u16string NewSettingsNotShown(u16string_view connection, u16string_view shows) {
  return Fill(
      u"Windows 在 10 秒內仍未使用網路連線【%s】的新設定，目前顯示：%s。\r\n"
      u"設定已寫入，可能稍後才會生效；若一直如此，請停用再啟用這張網路卡。",
      {connection, shows});
}
// Starting with Windows could not be set up (Vista and later: the Task Scheduler's task).
inline u16string LogonTaskFailed(u16string_view code, u16string_view reason) {
  return Fill(u"無法建立開機時自動執行的工作排程（錯誤 %s）：%s", {code, reason});
}

// The advanced TCP/IP settings refuse an entry, naming it.
inline u16string EntryRefused(u16string_view label, u16string_view value) {
  return Fill(u"%s「%s」無法使用。", {label, value});
}
inline u16string EntryListed(u16string_view label, u16string_view value) {
  return Fill(u"%s「%s」已在清單中。", {label, value});
}
inline u16string ListFull(u16string_view label, size_t limit) {
  return Fill(u"%s最多只能有 %s 個。", {label, DecimalText(static_cast<int64_t>(limit))});
}
inline constexpr u16string_view kMetricRange = u"躍點必須是 1 到 9999，或選「自動」。";
inline constexpr u16string_view kMetricAutomatic = u"自動";
inline u16string GatewayLine(u16string_view gateway, u16string_view metric) {
  return Fill(u"%s　躍點：%s", {gateway, metric});
}

// An apply that reached Windows through netsh, for the action log (without it, the DHCP
// client notification did).
inline u16string AppliedWithNetsh(u16string_view connections) {
  return Fill(u"套用方式：netsh（網路連線【%s】未依DHCP用戶端通知生效）", {connections});
}
inline u16string NetshFailed(u16string_view connection) {
  return Fill(u"以netsh套用網路連線【%s】的設定失敗", {connection});
}
inline u16string PrivateAddressShown(u16string_view connection, u16string_view shows) {
  return Fill(
      u"網路連線【%s】目前顯示：%s。\r\n169.254 開頭的是 Windows 自動指定的私人位址：所設定的位址"
      u"可能已被網路上另一台裝置使用，或找不到 DHCP 伺服器。這張網路卡現在無法與其他電腦正常連線。",
      {connection, shows});
}

inline u16string AddressInUse(u16string_view connection, u16string_view address,
                              u16string_view hardware) {
  return Fill(
      u"IP位址 %s 已有網路上另一台裝置（硬體位址 %s）在使用。\r\n"
      u"仍要將網路連線【%s】設為這個位址嗎？選「否」則不套用任何設定。",
      {address, hardware, connection});
}

// The question after an apply when confirmation is on.
inline u16string RevertCountdown(int seconds) {
  return Fill(u"%s 秒後將還原為套用前的設定。", {DecimalText(seconds)});
}
inline constexpr u16string_view kSettingsReverted = u"沒有確認新的設定，已還原為套用前的設定。";
inline constexpr u16string_view kSettingsRevertFailed =
    u"沒有確認新的設定，但還原套用前的設定失敗！請檢查網路卡的設定。";
inline constexpr u16string_view kUndoSnapshotMissing = u"沒有可還原的設定。";
inline constexpr u16string_view kUndoSnapshotNotSaved =
    u"無法保存套用前的設定，這次套用之後將無法還原。";
inline u16string UndoSnapshotName(u16string_view profile) {
  return Fill(u"套用【%s】前的設定", {profile});
}

// The current-settings view.
inline constexpr u16string_view kCurrentAutomatic = u"\r\n自動取得IP組態！\r\n";
inline constexpr u16string_view kCurrentAddress = u"\r\n預設IP位址:";
inline constexpr u16string_view kCurrentMask = u"\r\n子网掩码:";
inline constexpr u16string_view kCurrentGateway = u"\r\n預設網關:";
inline constexpr u16string_view kCurrentDns = u"\r\n預設DNS伺服器:";
inline constexpr u16string_view kCurrentEnabled = u"\r\n網路狀態:啟用";
inline constexpr u16string_view kCurrentDisabled = u"\r\n網路狀態:禁用";

// The backup dialog's details of an adapter (the address lines are the current-settings
// view's).
inline constexpr u16string_view kBackupAutomatic = u"自動取得IP組態\r\n";
inline constexpr u16string_view kBackupManual = u"手動組態取得IP組態\r\n";

// The profile commands and the editor.
inline constexpr u16string_view kDialogFailed = u"載入對話框錯誤！";
inline constexpr u16string_view kDnsListFailed = u"起始話DNS資料錯誤！";
inline constexpr u16string_view kNameMissing = u"組態名無效，請重新輸入組態名!";
inline constexpr u16string_view kNameExists =
    u"組態名已存在，是否重新輸入組態名？[確定]重新輸入\n[取消]不修改";
inline u16string BadManualConnection(u16string_view connection) {
  return Fill(u"網路連線【%s】設為手動輸入，請輸入有效的IP位址及子網遮罩，或改選「不配置」。",
              {connection});
}
// The editor asks, as Windows' own TCP/IP dialog does, before it stores such a gateway.
inline u16string GatewayOutsideSubnet(u16string_view connection, u16string_view gateway) {
  return Fill(
      u"網路連線【%s】的預設通訊閘 %s 不在 IP 位址與子網遮罩所定義的相同網路區段（子網路）上。"
      u"\r\n仍要儲存這些設定嗎？",
      {connection, gateway});
}
inline constexpr u16string_view kNewProfileName = u"組態專案";
inline constexpr u16string_view kPropertiesOk = u"啟用";
inline u16string RemoveQuestion(u16string_view name) {
  return Fill(u"確認要移除組態[%s]嗎？", {name});
}
inline u16string ProfileRemoved(u16string_view name) {
  return Fill(u"移除組態檔案[%s]!", {name});
}
inline constexpr u16string_view kCopyPrefix = u"複製-";
inline constexpr u16string_view kShortcutFailed = u"建立捷徑失敗！";

// The submenus that list the adapters and profiles.
inline constexpr u16string_view kMenuDisable = u"禁用網路";
inline constexpr u16string_view kMenuEnable = u"啟用網路";
inline constexpr u16string_view kMenuApply = u"套用組態";
inline constexpr u16string_view kMenuUndoApply = u"還原上次套用";
inline constexpr u16string_view kMenuPauseAutoSwitch = u"暫停自動切換";

// Switching an adapter on or off from those submenus.
inline constexpr u16string_view kAdapterEnabled = u"啟用網路成功！";
inline constexpr u16string_view kAdapterEnableFailed = u"啟用網路失敗！";
inline constexpr u16string_view kAdapterDisabled = u"禁用網路成功！";
inline constexpr u16string_view kAdapterDisableFailed = u"禁用網路失敗！";

// The About dialog.
inline u16string AboutText(u16string_view version) {
  return Fill(
      u"Torvane（Lumatrove）網路組態切換工具 %s\r\n\r\n在網路卡之間一鍵切換命名的IPv4組態。\r\n"
      u"Copyright (C) KORVAL WORKS",
      {version});
}
inline constexpr u16string_view kAboutThanks =
    u"所有回報問題與提出建議的使用者\r\nWine 開發團隊\r\nmingw-w64 專案\r\n"
    u"GoogleTest 與 Google Benchmark\r\npugixml（效能比較的標竿）";

// The tool commands.
inline constexpr u16string_view kSettingsCopyFile = u"config.xml";
inline constexpr u16string_view kRepaired = u"修復組態檔案成功";
inline constexpr u16string_view kImportFailed = u"匯入組態檔案格式錯誤!";

// The LAN computer list.
inline constexpr u16string_view kLanComputer = u"計算機名";
inline constexpr u16string_view kLanAddress = u"IP位址";
inline constexpr u16string_view kLanNoAddress = u"無法獲得IP位址";

// The update check.
inline u16string NewerVersion(u16string_view version) {
  return Fill(u"現用程式最新的版本為%s，是否需要更新！", {version});
}
inline constexpr u16string_view kUpdateFailed = u"自動更新失敗！";
inline constexpr u16string_view kBadUrl = u"URL出错";
inline constexpr u16string_view kCannotOpenFile = u"Unable to open file";

// The action log's entries about IDs that opening the configuration file repaired.
inline u16string IdMissing(u16string_view profile, u16string_view newId) {
  return Fill(u"組態[%s]缺少ID,已指定新ID %s", {profile, newId});
}
inline u16string IdShared(u16string_view profile, u16string_view oldId, u16string_view newId) {
  return Fill(u"組態[%s]的ID %s 與前面的組態重複,已改為新ID %s", {profile, oldId, newId});
}
inline u16string LastIdSet(u16string_view newId) {
  return Fill(u"組態檔的LASTID已設為 %s", {newId});
}
inline u16string LastIdRaised(u16string_view oldId, u16string_view newId) {
  return Fill(u"組態檔的LASTID已由 %s 調整為 %s", {oldId, newId});
}

// Keyboard shortcuts of profiles.
inline u16string HotkeyHeld(u16string_view profile, u16string_view key) {
  return Fill(u"組態【%s】的快速鍵 %s 已被其他程式使用，目前無法使用這個快速鍵。", {profile, key});
}
inline u16string HotkeyTaken(u16string_view key, u16string_view profile) {
  return Fill(u"快速鍵 %s 已用於組態【%s】，請改用其他按鍵。", {key, profile});
}
inline constexpr u16string_view kHotkeyUnusable =
    u"這個按鍵不能作為快速鍵：請加上 Ctrl、Alt 或 Win，或改用 F1 到 F24。";

// The proxy that goes with a profile.
inline u16string ProxyServerFault(u16string_view value) {
  return Fill(
      u"Proxy 伺服器「%s」無效：請輸入主機名稱或 IP 位址與 1 到 65535 的連接埠，例如 "
      u"proxy.example.com:8080。",
      {value});
}
inline u16string ProxyBypassFault(u16string_view value) {
  return Fill(u"例外清單中的「%s」不是主機名稱或位址的樣式（可用 * 代表任何文字）。", {value});
}
inline u16string ProxyScriptFault(u16string_view value) {
  return Fill(u"自動設定指令碼的網址「%s」無效：只接受 http:// 或 https:// 開頭的網址。", {value});
}
inline constexpr u16string_view kProxyOff = u"Proxy：不使用";
inline constexpr u16string_view kProxyDetect = u"Proxy：自動偵測設定";
inline u16string ProxyServerSummary(u16string_view server, u16string_view bypass) {
  return bypass.empty() ? Fill(u"Proxy：%s", {server})
                        : Fill(u"Proxy：%s（例外：%s）", {server, bypass});
}
inline u16string ProxyScriptSummary(u16string_view url) {
  return Fill(u"Proxy：自動設定指令碼 %s", {url});
}

// The networks a profile belongs to, and switching to it when one appears.
inline u16string GatewayMacFault(u16string_view value) {
  return Fill(u"閘道的實體位址「%s」無效：請輸入六組兩位的十六進位數字，例如 00-11-22-33-44-55。",
              {value});
}
inline u16string SsidFault(u16string_view value) {
  return Fill(u"Wi-Fi 網路名稱「%s」無效：名稱須為 1 到 32 個位元組，且不含控制字元。", {value});
}
inline u16string DnsSuffixFault(u16string_view value) {
  return Fill(u"DNS 尾碼「%s」無效：請輸入網域名稱，例如 corp.example.com。", {value});
}
inline u16string GatewayMacRule(u16string_view value) {
  return Fill(u"閘道 %s", {value});
}
inline u16string SsidRule(u16string_view value) {
  return Fill(u"Wi-Fi「%s」", {value});
}
inline u16string DnsSuffixRule(u16string_view value) {
  return Fill(u"DNS 尾碼 %s", {value});
}
inline u16string NetworkRulesSummary(u16string_view rules, bool autoApply) {
  return Fill(autoApply ? u"網路位置：%s（偵測到時自動套用）" : u"網路位置：%s", {rules});
}
inline constexpr u16string_view kNoNetworkSeen =
    u"目前的網路介面卡看不到可辨識的網路（沒有回應的閘道、Wi-Fi 網路或 DNS 尾碼）。";
inline constexpr u16string_view kNetworkKinds[] = {u"閘道實體位址", u"Wi-Fi 網路名稱", u"DNS 尾碼"};
inline constexpr u16string_view kAutoApplyNeedsNetwork =
    u"要在偵測到網路時自動套用，請先加入至少一個網路。";
inline constexpr u16string_view kAutoSwitchTitle = u"Lumatrove 自動切換";
inline u16string AutoApplied(u16string_view profile) {
  return Fill(u"已自動套用組態【%s】", {profile});
}
inline u16string AutoApplyFailed(u16string_view profile) {
  return Fill(u"自動套用組態【%s】失敗", {profile});
}
inline u16string SeveralNetworksMatch(u16string_view profiles) {
  return Fill(u"目前的網路符合多個組態：%s。未自動套用任何組態。", {profiles});
}

// Why a profile file is not imported.
inline constexpr u16string_view kNotAConfiguration = u"這不是 Lumatrove 的組態檔，或檔案已損壞";
inline constexpr u16string_view kNoProfilesInFile = u"檔案中沒有任何組態";
inline u16string ProfileWithoutName(u16string_view position) {
  return Fill(u"第 %s 個組態沒有名稱", {position});
}

}  // namespace lumatrove::texts
