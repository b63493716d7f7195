#include "Docidform.h"

#include <cstdint>

#include "Dialog.h"
#include "Text.h"
#include "resource.h"

namespace {

constexpr WPARAM kDocumentIdMaxChars = 10;

class TDocID : public ModalDialog {
 public:
  std::uint8_t Accepted = 0;
  std::string Text;

 protected:
  void OnInitDialog() override {
    // The window shows no caption; its text is only there to find it by.
    SetWindowTextW(hwnd_, ItemText(IDC_DOCID_LABEL).c_str());
    SendMessageW(Item(IDC_DOCID_DID), EM_LIMITTEXT, kDocumentIdMaxChars, 0);
    SetForegroundWindow(hwnd_);
  }
  // Enter arrives as IDOK and Esc as IDCANCEL, like the two buttons.
  bool OnCommand(int id, int code) override {
    if (code != BN_CLICKED || (id != IDOK && id != IDCANCEL)) return false;
    SpeedButton1Click(id);
    return true;
  }
  void OnClose() override { SpeedButton1Click(IDCANCEL); }

 private:
  // Both buttons: the sender tells which.
  void SpeedButton1Click(int sender) {
    auto typed = Cp932FromWide(ItemText(IDC_DOCID_DID));
    if (sender == IDOK && !typed) {
      // A character code page 932 lacks could not be printed under the seal:
      // the prompt stays open for the user to change the ID.
      MessageBeep(MB_ICONWARNING);
      SendMessageW(hwnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(IDC_DOCID_DID)), TRUE);
      return;
    }
    Accepted = sender == IDOK ? 1 : 0;
    Text = std::move(typed).value_or(std::string());
    End(sender);
  }
};

}  // namespace

DocumentIdAnswer AskDocumentId(HWND owner) {
  TDocID form;
  form.Run(IDD_DOCID, owner);
  return {form.Accepted == 1, form.Text};
}
