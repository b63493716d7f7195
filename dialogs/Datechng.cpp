#include "Datechng.h"

#include <memory>

#include "Dialog.h"
#include "QdxDate.h"
#include "Records.h"
#include "Sjis.h"
#include "Text.h"
#include "resource.h"

namespace {

class TForm6 : public ModalDialog {
 public:
  TForm6(std::string_view text, const Clock& clock) : text_(text), clock_(clock) {}
  std::string Text() const { return text_; }

 protected:
  void OnInitDialog() override {
    SetItemText(IDC_DATE_EDIT1, Wide(text_));
    FormShow();
  }
  bool OnCommand(int id, int code) override {
    if (code != BN_CLICKED) return false;
    switch (id) {
      case IDOK: Button1Click(); return true;  // also the Enter key
      case IDCANCEL: FormClose(); return true;
      case IDC_DATE_BUTTON2: Button2Click(); return true;
      case IDC_DATE_BUTTON3: Button3Click(); return true;
    }
    return false;
  }
  void OnClose() override { FormClose(); }

 private:
  void FormShow() {
    SetForegroundWindow(hwnd_);
    date_ = std::make_unique<TQdx_Date>(OptionSettings, clock_);
    date_->Clear();
    date_->SetToday();
  }
  // The steps accumulate from today, whatever was typed into the field.
  void Step(int days) {
    const DateSealMain& seal = DateSealSettings.Main;
    SetItemText(IDC_DATE_EDIT1, Wide(StepDateText(*date_, days, FieldText(seal.Header), seal.Years,
                                                  DateSealSettings.Ext.DateNZ)));
  }
  void Button1Click() { FormClose(); }
  void Button2Click() { Step(-1); }
  void Button3Click() { Step(+1); }
  void FormClose() {
    // A character that code page 932 cannot hold cannot be printed either:
    // then the text the dialog was opened with stands.
    if (auto typed = Cp932FromWide(ItemText(IDC_DATE_EDIT1))) text_ = std::move(*typed);
    date_.reset();
    End(IDOK);
  }

  std::string text_;
  const Clock& clock_;
  std::unique_ptr<TQdx_Date> date_;
};

}  // namespace

std::string AskDateChange(HWND owner, std::string_view text, const Clock& clock) {
  TForm6 dialog(text, clock);
  if (dialog.Run(IDD_DATE_CHANGE, owner) == -1) return std::string(text);
  return dialog.Text();
}
