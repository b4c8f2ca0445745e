// ProfileDialog: the profile editor. One tab per connection with its mode, addresses, DNS
// servers and enable flag, and the profile's name. It copies between its controls and a
// ProfileEditor, which holds the records and decides; it never touches the network.
#pragma once

#include <string>
#include <string_view>

#include "ui/controls/colored_tab_ctrl.h"
#include "ui/model/profile_editor_model.h"
#include "ui/win/dialog.h"
#include "xml/xml_document.h"

namespace lumatrove {

class MainDialog;

// Runs the editor over `main` for a new profile, or for the stored profile `id` named `name`
// (modify or properties). True after OK: a new or modified profile is in the store's
// document (the caller saves); in properties mode the caller applies the stored profile.
bool ShowProfileDialog(MainDialog& main, ProfileEditor::Kind kind, std::u16string_view id = {},
                       std::u16string_view name = {});

class ProfileDialog : public win::Dialog {
 public:
  explicit ProfileDialog(MainDialog* parent);
  void SetModifyMode(std::u16string_view id, std::u16string_view name);
  void SetPropertiesMode(std::u16string_view id, std::u16string_view name);

 protected:
  bool OnInit() override;
  bool OnCommand(int id, int code, HWND control) override;
  bool OnNotify(NMHDR* header, LRESULT& result) override;
  bool OnMessage(UINT message, WPARAM w, LPARAM l, INT_PTR& result) override;
  bool PreTranslateMessage(MSG& msg) override;
  void OnOk() override;

 private:
  EditorFields ReadFields() const;
  void ShowFields(const EditorFields& fields);
  void ShowEnables(const EditorFields& fields);
  void SetAddress(int id, uint32_t address);
  void FillDnsProviders();
  void SwitchTab(int tab);
  void FocusItem(int id);
  // The control that shows `field`.
  static int FieldControl(ProfileEditor::Field field);
  void OnModeClicked();
  void OnDnsAutomaticClicked();
  void OnAddressChanged();
  void OnProviderChosen();

  MainDialog* parent_;
  ProfileEditor model_;
  XmlDocument dnsDocument_;
  ColoredTabCtrl tabs_;
  bool filling_ = false;  // the controls are being set from the model
};

}  // namespace lumatrove
