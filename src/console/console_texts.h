// The console program's own texts: its help, and what it says when a command cannot be done.
#pragma once

#include <string>
#include <string_view>

#include "texts.h"
#include "version.h"

namespace lumatrove::console_texts {

using std::u16string;
using std::u16string_view;
using texts::Fill;

inline constexpr u16string_view kVersion =
    u"Lumatrove "
    u"" LUMATROVE_VERSION_TEXT;

inline constexpr u16string_view kHelp =
    u"Lumatrove 命令列程式：切換網路卡的 IPv4 組態。\n"
    u"\n"
    u"用法：\n"
    u"  lumatrove --list [--json]            列出組態：ID、名稱、Windows 是否正在使用\n"
    u"  lumatrove --show <ID|名稱> [--json]  顯示一個組態\n"
    u"  lumatrove --current [--json]         顯示每張網路卡現在使用的設定\n"
    u"  lumatrove --apply <ID|名稱> [--no-wait] [--force]\n"
    u"                                       套用組態，等待 Windows 顯示新設定；\n"
    u"                                       --no-wait 不等待，--force 在 IP 位址已被\n"
    u"                                       其他裝置使用時仍然套用\n"
    u"  lumatrove --undo [--force]           還原為上次套用前的設定\n"
    u"  lumatrove --export <檔案> [<ID>...]  將組態（未指定 ID 時為全部）寫成組態檔\n"
    u"  lumatrove --import <檔案>            加入組態檔中的組態（給予新的 ID）；\n"
    u"                                       檔案有任何錯誤時不做任何變更\n"
    u"  lumatrove --check <檔案>             檢查組態檔，不做任何變更\n"
    u"  lumatrove --settings [autostart=0|1] [updatecheck=0|1] [path=0|1]\n"
    u"                                       開機時自動執行、啟動時檢查更新，\n"
    u"                                       以及程式資料夾是否在系統 PATH 中\n"
    u"  lumatrove --exit                     結束系統匣中的 Lumatrove（同「離開」）\n"
    u"  lumatrove --version | --help\n"
    u"\n"
    u"名稱與多個組態相符時，請改用 ID。套用與還原需要系統管理員權限；\n"
    u"Lumatrove 在系統匣執行時，由它代為套用。\n"
    u"\n"
    u"結束代碼：\n"
    u"  0   完成，Windows 已顯示新設定\n"
    u"  1   沒有這個組態（或沒有可還原的設定）\n"
    u"  2   無效的位址（訊息指出是哪一個），或無效的組態檔\n"
    u"  3   寫入失敗\n"
    u"  4   Windows 未在時限內顯示新設定\n"
    u"  5   需要系統管理員權限\n"
    u"  6   IP 位址已被其他裝置使用\n"
    u"  64  命令列用法錯誤\n";

inline constexpr u16string_view kNoCommand = u"缺少命令。用法請見 lumatrove --help";
inline u16string UnknownArgument(u16string_view argument) {
  return Fill(u"無法識別的參數：%s。用法請見 lumatrove --help", {argument});
}
inline u16string OperandMissing(u16string_view command) {
  return Fill(u"%s 缺少參數。用法請見 lumatrove --help", {command});
}
inline u16string NoSuchProfile(u16string_view target) {
  return Fill(u"沒有這個組態：%s", {target});
}
inline u16string SeveralProfiles(u16string_view name, u16string_view ids) {
  return Fill(u"有多個組態名為「%s」（ID：%s），請改用 ID", {name, ids});
}
inline constexpr u16string_view kNeedsAdministrator =
    u"這個命令需要系統管理員權限：請在「以系統管理員身分執行」的命令提示字元中再試一次";
inline constexpr u16string_view kInstanceBusy =
    u"系統匣中的 Lumatrove 正在套用另一個組態，請稍後再試";
inline constexpr u16string_view kWriteFailed = u"寫入網路設定失敗";
inline u16string AddressInUse(u16string_view connection, u16string_view address,
                              u16string_view hardware) {
  return Fill(u"網路連線【%s】的 IP 位址 %s 已被另一台裝置（%s）使用；加上 --force 仍可套用",
              {connection, address, hardware});
}
inline constexpr u16string_view kAddressInUseThere =
    u"IP 位址已被另一台裝置使用；加上 --force 仍可套用";
inline constexpr u16string_view kInvalidThere = u"組態中有無法套用的值，詳見動作記錄";
inline constexpr u16string_view kNotShownThere = u"Windows 未在時限內顯示新設定，詳見動作記錄";
inline constexpr u16string_view kUndone = u"已還原為上次套用前的設定";
inline u16string CannotRead(u16string_view file) {
  return Fill(u"無法讀取檔案：%s", {file});
}
inline u16string CannotWrite(u16string_view file) {
  return Fill(u"無法寫入檔案：%s", {file});
}
inline u16string BadFile(u16string_view file, u16string_view why) {
  return Fill(u"%s：%s，未做任何變更", {file, why});
}
inline u16string Exported(u16string_view count, u16string_view file) {
  return Fill(u"已將 %s 個組態寫入 %s", {count, file});
}
inline u16string Imported(u16string_view count) {
  return Fill(u"已加入 %s 個組態", {count});
}
inline u16string FileChecked(u16string_view count) {
  return Fill(u"組態檔無誤：%s 個組態", {count});
}
inline constexpr u16string_view kInstanceStays = u"系統匣中的 Lumatrove 沒有在時限內結束";
inline constexpr u16string_view kSettingsDone = u"設定已儲存";
inline u16string PathNotChanged(u16string_view why) {
  return Fill(u"無法變更系統 PATH：%s", {why});
}
inline constexpr u16string_view kSaveFailed = u"無法寫入組態檔，未做任何變更";

// --current's labels.
inline constexpr u16string_view kLiveDhcp = u"  自動取得 IP 位址（DHCP）";
inline constexpr u16string_view kLiveAddress = u"  IP 位址：";
inline constexpr u16string_view kLiveGateway = u"  預設閘道：";
inline constexpr u16string_view kLiveDns = u"  DNS 伺服器：";
inline constexpr u16string_view kLiveInUse = u"（使用中）";

}  // namespace lumatrove::console_texts
