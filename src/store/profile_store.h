// ProfileStore: the configuration file beside the program, its profiles, applying one, the
// system settings and the Run value, repair and import of 1.x files. Every operation edits
// the document in memory; Save writes it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "netcfg/adapter_info.h"
#include "store/profile.h"
#include "store/store_system.h"
#include "xml/xml_document.h"

namespace lumatrove {

inline constexpr std::u16string_view kConfigFileName = u"lumatrove.cfg";
inline constexpr std::u16string_view kRunKey = u"software\\microsoft\\windows\\currentversion\\run";
// The largest file an import reads; 1.x profile files are a few kilobytes.
inline constexpr uintmax_t kImportSizeLimit = 4 * 1024 * 1024;
inline constexpr std::u16string_view kRunValueName = u"Lumatrove(KORVAL WORKS)";

// The mode a CONNECTION's TYPE text stands for ("0", "1", "2"; anything else is unknown),
// and the text a mode is written as (an unknown mode as "2").
ConnectionMode ModeOfType(std::u16string_view type);
std::u16string_view TypeOf(ConnectionMode mode);

// Reads the current element of `d`, a CONNECTION, into `c`: its attributes, the first
// address, mask and gateway and every DNS server. Leaves the position on that element.
void ReadConnection(XmlDocument& d, ConnectionSetting& c);

// Sets NAME, DATATIME and ID, in this order, on the current element of `d` (a NETSETING).
void SetProfileAttributes(XmlDocument& d, std::u16string_view name, std::u16string_view dateTime,
                          std::u16string_view id);

// Writes `c` as a CONNECTION child of the current element of `d` (its attributes, the first
// address, mask and gateway, both DNS servers); the new element becomes the child position.
void WriteConnectionElement(XmlDocument& d, const ConnectionSetting& c);

// The adapter's current settings as a connection of a profile: its first address, mask,
// gateway and DNS servers, its identity, and its DHCP state as the connection's mode.
ConnectionSetting ConnectionOf(const AdapterInfo& adapter);

// The records as the list that the store's operations take (which only read them).
std::vector<const ConnectionSetting*> ConnectionList(const std::vector<ConnectionSetting>& records);
std::vector<const ConnectionSetting*> ConnectionList(
    const std::vector<std::unique_ptr<AdapterInfo>>& records);

// The document a new configuration file starts from (before the settings are written).
extern const std::u16string_view kDefaultDocument;

// Ordinary decimal conversion as a 32-bit strtol does it: leading blanks, a sign, digits;
// anything else ends the number, no digits give 0, and values beyond the range saturate.
int32_t DecimalValue(std::u16string_view text);

// A profile that opening the store gave a new ID: it had none, or the ID of a profile
// before it in the file (the first holder keeps an ID, as desktop shortcuts name it).
struct RenumberedProfile {
  std::u16string name;
  std::u16string oldId;  // "" when it had none
  std::u16string newId;
};

// What opening the store repaired so that every profile has an ID of its own and LASTID
// lies at or above every ID.
struct IdRepairs {
  std::vector<RenumberedProfile> renumbered;
  std::u16string oldLastId;  // LASTID's text before it was raised; "" when it was not raised
  std::u16string newLastId;
  bool Empty() const { return renumbered.empty() && newLastId.empty(); }
};

class ProfileStore {
 public:
  explicit ProfileStore(StoreSystem& system);
  virtual ~ProfileStore();
  ProfileStore(const ProfileStore&) = delete;
  ProfileStore& operator=(const ProfileStore&) = delete;

  // The running program's path as GetModuleFileNameW gives it (at most 260 characters).
  FilePath ProgramPath();
  // The window program that starts with Windows: the running program's path with the
  // extension ".exe" (the console program lumatrove.com lies beside lumatrove.exe).
  FilePath WindowProgramPath();
  // The configuration file: the program's folder followed by "lumatrove.cfg".
  FilePath ConfigPath();
  // The undo snapshot beside the configuration file.
  FilePath UndoPath();

  // Loads the file, or creates it with the default content. Returns LoadProfiles' result
  // after a load, 0 after a creation, and 0 when `expected` is given and the file does not
  // hold exactly that text. A file that cannot be parsed, or a well-formed one without
  // LUMATROVE and CONFIG, is kept beside it as "lumatrove.cfg.bad" (or .bad.2, .bad.3, ...)
  // before the new one is written (keptCopy); when it cannot be kept, it is not overwritten.
  // A file in UTF-16 with a byte-order mark is read and saved back in UTF-8. Profile IDs are
  // repaired and the repaired file saved (idRepairs). A temporary file that an interrupted
  // save left is removed.
  int Open(const std::u16string* expected = nullptr);
  // Loads the configuration file `path` into the document and the list, and reads its
  // settings, without writing any file or setting up the start with Windows: for looking at
  // a file. False when it is no configuration.
  bool LoadFromFile(const FilePath& path);
  // Writes the document through a temporary file that replaces the old one in one step; a
  // failed write leaves the old file as it was. False when the file was not written.
  bool Save();
  // Saves and opens the file again; true only when the file now holds exactly the document
  // that was saved. After a failed save the document is the file's again (Reload).
  bool SaveAndReopen();
  void CreateDefaultDocument();
  // Reads the file again, dropping edits that a failed Save left in the document, so that
  // the document and the list agree with the file. False, with the document unchanged, when
  // the file cannot be read.
  bool Reload();
  // 1 when LUMATROVE and CONFIG were found (and the list was built), else 0.
  int LoadProfiles();
  int ParseProfiles();
  void ClearProfiles();

  // Profile operations; each starts from a reset position. See the operations' comments in
  // the implementation for their exact effects.
  std::u16string GetProfileContent(std::u16string_view id);
  // False without CONFIG.
  bool CopyProfile(std::u16string_view sourceId, std::u16string_view newName);
  bool DeleteProfile(std::u16string_view id);
  // Raises LASTID by one and returns it ("0" without CONFIG); keeps the caller's position.
  // A counter at the top of its range hands out the lowest positive ID no profile has.
  std::u16string NextId();
  std::u16string GetLastIdText() const;
  bool AddProfile(std::u16string_view name, std::vector<const ConnectionSetting*> connections);
  // False when no profile has the ID.
  bool ModifyProfile(std::u16string_view id, std::u16string_view name,
                     std::vector<const ConnectionSetting*> connections);
  // Sets the keyboard shortcut of the profile `id` (HOTKEY); "" takes it off. False when no
  // profile has the ID.
  bool SetProfileHotkey(std::u16string_view id, std::u16string_view text);
  // Sets the proxy part of the profile `id`; false when no profile has the ID.
  bool SetProfileProxy(std::u16string_view id, const ProxySetting& proxy);
  // Sets the networks of the profile `id`; false when no profile has the ID.
  bool SetProfileNetworks(std::u16string_view id, const NetworkRules& networks);
  bool WriteConnections(std::vector<const ConnectionSetting*> connections);
  bool WriteConnection(const std::vector<const ConnectionSetting*>& connections, size_t index);
  bool ProfileNameExists(std::u16string_view name);

  // Writes the profile's connections to the adapters; true when at least one was applied
  // (or left alone). Checks every connection first: for a mode, address, mask, gateway or
  // DNS server that cannot be applied it shows a message box naming it, writes nothing and
  // returns false.
  bool ApplyProfile(std::u16string_view id);
  // The same for the connections of a NETSETING's content (the undo snapshot's, for one).
  bool ApplyProfileContent(std::u16string_view content);
  // Checks every connection of the content as the apply does, writing nothing; false after
  // the same message when one cannot be applied.
  bool CheckProfileContent(std::u16string_view content);
  // The same check without a message box: the message, or "" when every connection can be
  // applied.
  std::u16string ProfileContentFault(std::u16string_view content);

  // System settings and starting with Windows. Reading the settings also sets up the start
  // anew (or removes it), so that it follows the program when it moved; writing them saves
  // the file (false when it was not written).
  void ReadSystemSettings(bool setUpStart = true);
  bool WriteSystemSettings();
  // Before Vista, the Run value; from Vista on, where Windows does not start a program that
  // needs elevation from the Run keys, the logon task (and a Run value of an older version is
  // removed). False, with the reason in autoRunFault, when the task cannot be registered.
  bool SetAutoRun(bool on);
  // The command line written into the Run value.
  std::u16string AutoRunCommand();

  // Repair and import.
  bool RepairProfiles(std::vector<const AdapterInfo*> adapters);
  static int FindAdapterIndex(std::u16string_view mac, std::u16string_view description,
                              std::u16string_view connectionName,
                              const std::vector<const AdapterInfo*>& adapters);
  bool ImportOldConfig(const FilePath& path);

  // A configuration file of its own at `path`: the settings, the DNS providers and the
  // profiles of `ids` (every profile when there are none). False when a profile of `ids` is
  // not there (`missing` names it) or the file was not written.
  bool ExportProfiles(const FilePath& path, const std::vector<std::u16string>& ids,
                      std::u16string* missing = nullptr);
  // Adds the profiles of the configuration file `path` with fresh IDs, after checking every
  // one of them as an apply would; on any fault, nothing is added and `fault` says why.
  struct ImportResult {
    size_t added = 0;
    std::u16string fault;
  };
  ImportResult ImportProfiles(const FilePath& path);

  XmlDocument document;
  // The records mirror the document as of the last LoadProfiles: profiles change through the
  // operations above, never by writing to a record.
  std::vector<std::unique_ptr<Profile>> profiles;
  bool autoUpdate = false;
  bool logEnabled = false;
  bool autoRun = false;
  // After an apply, ask whether to keep it and go back when nobody answers (CONFIRMAPPLY).
  bool confirmApply = false;
  // Switching to profiles by the network is paused (AUTOSWITCHPAUSE).
  bool autoSwitchPaused = false;
  int32_t lastId = 0;
  // What the last Open did besides loading: where it kept a damaged file (empty when it kept
  // none) and which IDs it repaired.
  FilePath keptCopy;
  IdRepairs idRepairs;
  // Why the last SetAutoRun could not register the logon task, for the action log; "" when
  // it could.
  std::u16string autoRunFault;

 private:
  bool EnterConfig();
  // Makes the NETSETING of the profile `id` the current element; false when there is none.
  bool FindProfileElement(std::u16string_view id);
  // Loads `path` (UTF-8, or UTF-16 with a byte-order mark: `converted`); true when it is a
  // configuration, with LUMATROVE and CONFIG.
  bool LoadConfiguration(const FilePath& path, bool& converted);
  // Renames the file at `path` to the first free "<path>.bad", ".bad.2", ... (keptCopy).
  bool KeepDamagedFile(const FilePath& path);
  // Gives every profile without an ID, or with the ID of an earlier profile, a fresh one and
  // raises LASTID to the highest ID; true when the document changed.
  bool RepairIds();
  std::u16string UnusedId();
  // `fileName` in the program's folder, with the separator its path uses.
  FilePath BesideProgram(std::u16string_view fileName);

  StoreSystem& system_;
  // The file that Open found damaged is still where the configuration belongs: it could not
  // be kept aside, so Save must keep it first.
  bool damagedFileInPlace_ = false;
};

}  // namespace lumatrove
