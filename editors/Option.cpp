#include "Option.h"

#include <commctrl.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "CommonDialogs.h"
#include "FormDialog.h"
#include "Policy.h"
#include "QdxDate.h"
#include "Settings.h"
#include "Sjis.h"
#include "Text.h"
#include "UniqueHandle.h"
#include "resource.h"

namespace {

enum OptionsPage { kOutput, kDisplay, kToolbar, kBehaviour, kSecurity, kGuard, kCorrection, kRotation, kTray, kEras };

constexpr Choice kClipboardFormat{IDC_OPT_CLIPBOARDFORMAT, 3};
constexpr Choice kDocumentFilter{IDC_OPT_DOCUMENTFILTER, 3};
constexpr Choice kColorBits{IDC_OPT_COLORBITS, 3};
constexpr Choice kGenMetafile{IDC_OPT_GENMETAFILE, 2};
constexpr Choice kFocusGet{IDC_OPT_FOCUSGET, 3};
constexpr Choice kShowMessage{IDC_OPT_SHOWMESSAGE, 2};
constexpr Choice kHideMenu{IDC_OPT_HIDEMENU, 2};
constexpr Choice kShowExBar{IDC_OPT_SHOWEXBAR, 3};
constexpr Choice kMainToolBar{IDC_OPT_MAINTOOLBAR, 2};
constexpr Choice kCheckDate{IDC_OPT_CHECKDATE, 2};
constexpr Choice kEditorLock{IDC_OPT_EDITORLOCK, 2};
constexpr Choice kClipBrdClear{IDC_OPT_CLIPBRDCLEAR, 3};
constexpr Choice kPasswordCheck{IDC_OPT_PASSWORDCHECK, 2};
constexpr Choice kPasswordOnStamp{IDC_OPT_PASSWORDONSTAMP, 2};
constexpr Choice kCopyGuard{IDC_OPT_COPYGUARD, 2};
constexpr Choice kBackImage{IDC_OPT_BACKIMAGE, 4};
constexpr Choice kNoDispTitle{IDC_OPT_NODISPTITLE, 2};
constexpr Choice kRotate{IDC_OPT_ROTATE, 3};
constexpr Choice kRotateSz{IDC_OPT_ROTATESZ, 2};
constexpr Choice kDoubleClick{IDC_OPT_DOUBLECLICK, 4};
constexpr Choice kStayOnTray{IDC_OPT_STAYONTRAY, 2};
constexpr Choice kTerminate{IDC_OPT_TERMINATE, 3};
constexpr Choice kInkEffect{IDC_OPT_INKEFFECT, 4};

// The "do" choice of the yes/no options stores 0.
constexpr int kDo = 0;
constexpr int kCopyGuardOn = 1;
// The picture output that the security marks and the rotation need.
constexpr int kEnhancedPicture = 0, kFullColour = 2, kStandardPicture = 0;

constexpr std::size_t kPasswordBytes = 18;  // what the password prompt takes
constexpr std::size_t kKeyBytes = 8;
constexpr std::size_t kEraNameBytes = 5;
constexpr std::size_t kEraDateBytes = 11;
constexpr std::size_t kAngleBytes = 11;

// The bytes SetUserPassword can keep and the prompt can take again: printable
// ASCII other than "+" (which the scrambling would turn into a terminator).
bool StorableSecret(const std::wstring& text, std::size_t maxBytes) {
  if (text.size() > maxBytes) return false;
  for (wchar_t c : text)
    if (c < 0x20 || c > 0x7E) return false;
  return IsStorableSecret(Narrow(text));
}

template <std::size_t N>
void SetField(char (&field)[N], std::string_view text) {
  std::memset(field, 0, N);
  CopyToField(field, text);
}

class TForm3 : public FormDialog {
 public:
  explicit TForm3(SettingsStore& store) : store_(store) {}

 protected:
  void OnInitDialog() override;
  bool OnCommand(int id, int code) override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;

 private:
  void PrepareControls();
  void FillControls();
  // Selects a stored index and runs the choice's click rule, as a click would.
  void Select(Choice choice, int index);
  void ChoiceClicked(int id);
  void ForcePictureOutput() const;
  void EnableGuardControls(bool enabled) const;
  void ShowCorrection() const;
  void ShowStampLog(const OptionRecord& o) const;
  void ColourButtonClick(int id);
  bool Validate();
  bool Refuse(const wchar_t* message, int page, int id);
  void StoreControls();
  void Button1Click();
  void Take(Choice choice, std::int32_t& field) const {
    if (const int index = ChoiceIndex(choice); index >= 0) field = index;
  }

  SettingsStore& store_;
  std::int32_t secTextColour_ = 0, secLineColour_ = 0;
  CustomColours customColours_{};
};

void TForm3::OnInitDialog() {
  CreatePages(IDC_OPTIONS_TABS, {{IDD_OPTIONS_PAGE_OUTPUT, L"出力形式"},
                                 {IDD_OPTIONS_PAGE_DISPLAY, L"表示"},
                                 {IDD_OPTIONS_PAGE_TOOLBAR, L"ツールバー"},
                                 {IDD_OPTIONS_PAGE_BEHAVIOUR, L"動作"},
                                 {IDD_OPTIONS_PAGE_SECURITY, L"セキュリティ"},
                                 {IDD_OPTIONS_PAGE_GUARD, L"偽造防止"},
                                 {IDD_OPTIONS_PAGE_CORRECTION, L"解像度補正"},
                                 {IDD_OPTIONS_PAGE_ROTATION, L"印影回転"},
                                 {IDD_OPTIONS_PAGE_TRAY, L"タスクトレー"},
                                 {IDD_OPTIONS_PAGE_ERAS, L"和暦設定"}});
  PrepareControls();
  FillControls();
  ShowPage(kOutput);
  PostMessageW(hwnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(IDC_OPTIONS_TABS)), TRUE);
}

void TForm3::PrepareControls() {
  for (int id : {IDC_OPT_PASSWORD1, IDC_OPT_PASSWORD2, IDC_OPT_KEY1, IDC_OPT_KEY2})
    SendMessageW(Control(id), EM_SETPASSWORDCHAR, L'X', 0);
  LimitBytes(IDC_OPT_PASSWORD1, kPasswordBytes);
  LimitBytes(IDC_OPT_PASSWORD2, kPasswordBytes);
  LimitBytes(IDC_OPT_KEY1, kKeyBytes);
  LimitBytes(IDC_OPT_KEY2, kKeyBytes);
  LimitBytes(IDC_OPT_ROTATEANGLE, kAngleBytes);
  for (int i = 0; i < kEraCount; ++i) {
    LimitBytes(IDC_OPT_ERANAME1 + i, kEraNameBytes);
    LimitBytes(IDC_OPT_ERADATE1 + i, kEraDateBytes);
  }
  SetSlider(IDC_OPT_REZOHOSEI, 20, 200, 100);
  SendMessageW(Control(IDC_OPT_REZOHOSEI), TBM_SETTICFREQ, 10, 0);
}

void TForm3::FillControls() {
  const OptionRecord& o = OptionSettings;
  Select(kPasswordCheck, o.PasswordCheck);
  const std::string password = GetUserPassword();
  SetCp932Text(IDC_OPT_PASSWORD1, password);
  SetCp932Text(IDC_OPT_PASSWORD2, password);
  Select(kEditorLock, o.EditorLock);
  Select(kCheckDate, o.CheckDate);
  Select(kDocumentFilter, o.DocumentFilter);
  Select(kShowMessage, o.ShowMessage);
  Select(kColorBits, o.ColorBits);
  Select(kFocusGet, o.FocusGet);
  Select(kHideMenu, o.HideMenu);
  Select(kPasswordOnStamp, o.PasswordOnStamp);
  Select(kShowExBar, o.ShowExBar);
  SetSliderPosition(IDC_OPT_REZOHOSEI, o.RezoHosei);
  ShowCorrection();
  Select(kCopyGuard, o.CopyGuard);
  Select(kBackImage, o.BackImage);
  SetCp932Text(IDC_OPT_KEY1, FieldText(o.UIDK));
  SetCp932Text(IDC_OPT_KEY2, FieldText(o.UIDK));
  Select(kRotate, o.Rotate);
  Select(kRotateSz, o.RotateSz);
  SetCp932Text(IDC_OPT_ROTATEANGLE, std::to_string(o.RotateAngle));
  Select(kDoubleClick, o.TaskTrayIconDoubleClick);
  Select(kStayOnTray, o.StayOnTaskTray);
  Select(kMainToolBar, o.MainToolBar);
  Select(kTerminate, o.TerminateAsStamped);
  Select(kNoDispTitle, o.NoDispCopyGuardTitle);
  Select(kClipBrdClear, o.ClipBrdClear);
  secTextColour_ = o.SecTextColor;
  secLineColour_ = o.SecLineColor;
  // Filled after the click rules above have run, so they show what is stored.
  Select(kGenMetafile, o.GenMetafile);
  Select(kClipboardFormat, o.ClipboardFormat);
  SetChecked(IDC_OPT_CLIPBOARDPNG, o.ClipboardPng != 0);
  ShowStampLog(o);
  for (int i = 0; i < kEraCount; ++i) SetCp932Text(IDC_OPT_ERANAME1 + i, FieldText(o.WarekiName[i]));
  for (int i = 0; i < kEraCount; ++i) SetCp932Text(IDC_OPT_ERADATE1 + i, FieldText(o.WarekiDate[i]));
  SetChecked(IDC_OPT_INKTILT, o.InkTilt != 0);
  Select(kInkEffect, o.InkEffect);
}

void TForm3::Select(Choice choice, int index) {
  SetChoiceIndex(choice, index);
  ChoiceClicked(choice.firstId);
}

void TForm3::ChoiceClicked(int id) {
  if (InChoice(kCopyGuard, id)) {
    const bool on = ChoiceIndex(kCopyGuard) == kCopyGuardOn;
    EnableGuardControls(on);
    if (on) ForcePictureOutput();
    // The marks are drawn into the picture metafile only; a PNG would carry
    // the seal without them, as the DIB would.
    if (on) SetChecked(IDC_OPT_CLIPBOARDPNG, false);
  } else if (InChoice(kRotate, id)) {
    if (ChoiceIndex(kRotate) != 0) ForcePictureOutput();
  } else if (InChoice(kInkEffect, id) || id == IDC_OPT_INKTILT) {
    // The impression's pale ink and softened edges are shades that fewer
    // colours would lose.
    if (ChoiceIndex(kInkEffect) > 0 || Checked(IDC_OPT_INKTILT)) SetChoiceIndex(kColorBits, kFullColour);
  }
}

void TForm3::ForcePictureOutput() const {
  SetChoiceIndex(kClipboardFormat, kEnhancedPicture);
  SetChoiceIndex(kColorBits, kFullColour);
  SetChoiceIndex(kGenMetafile, kStandardPicture);
}

void TForm3::EnableGuardControls(bool enabled) const {
  for (int id : {IDC_OPT_BACKIMAGE_GROUP, IDC_OPT_KEY_GROUP, IDC_OPT_KEY1, IDC_OPT_KEY2, IDC_OPT_KEY_LABEL,
                 IDC_OPT_KEY_NOTE})
    EnableControl(id, enabled);
  for (int i = 0; i < kBackImage.count; ++i) EnableControl(kBackImage.firstId + i, enabled);
}

void TForm3::ShowCorrection() const {
  SetWindowTextW(Control(IDC_OPT_REZOHOSEI_TEXT),
                 (std::to_wstring(SliderPosition(IDC_OPT_REZOHOSEI)) + L" %").c_str());
}

// An administrator's PolicyStampLog keeps the log on: the box is ticked and
// cannot be changed, and its note says why.
void TForm3::ShowStampLog(const OptionRecord& o) const {
  const bool forced = ReadAdminPolicy(store_).StampLogForced;
  SetChecked(IDC_OPT_STAMPLOG, forced || o.StampLog == 1);
  EnableControl(IDC_OPT_STAMPLOG, !forced);
  if (forced)
    SetWindowTextW(Control(IDC_OPT_STAMPLOG_NOTE),
                   L"管理者の設定により、押印履歴は常に記録されます。\n外部へは送信しません。");
}

void TForm3::ColourButtonClick(int id) {
  const bool text = id == IDC_OPT_SECTEXT_BUTTON;
  std::int32_t& held = text ? secTextColour_ : secLineColour_;
  COLORREF colour = static_cast<COLORREF>(held) & 0xFFFFFF;
  if (!ChooseColour(hwnd_, colour, customColours_)) return;
  held = static_cast<std::int32_t>(colour);
  InvalidateRect(Control(text ? IDC_OPT_SECTEXT_SWATCH : IDC_OPT_SECLINE_SWATCH), nullptr, TRUE);
}

bool TForm3::Refuse(const wchar_t* message, int page, int id) {
  ShowValidationMessage(message);
  ShowPage(page);
  SendMessageW(hwnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Control(id)), TRUE);
  return false;
}

bool TForm3::Validate() {
  const std::wstring password = WideText(IDC_OPT_PASSWORD1), again = WideText(IDC_OPT_PASSWORD2);
  if (password != again)
    return Refuse(L"パスワードの設定が一致していません。\n２つの入力エリアに同じパスワードを設定してください。",
                  kSecurity, IDC_OPT_PASSWORD1);
  // A password the prompt could not take again would lock the user out.
  if (!StorableSecret(password, kPasswordBytes))
    return Refuse(L"パスワードには、「+」以外の半角英数字・記号を18文字以内で設定してください。", kSecurity,
                  IDC_OPT_PASSWORD1);
  const bool passwordMissing = password.empty() || again.empty();
  if (ChoiceIndex(kPasswordCheck) == kDo && passwordMissing)
    return Refuse(L"起動時パスワード入力要を設定していますが、パスワードが登録されていません。", kSecurity,
                  IDC_OPT_PASSWORD1);
  if (ChoiceIndex(kPasswordOnStamp) == kDo && passwordMissing)
    return Refuse(L"押印時パスワード入力要を設定していますが、パスワードが登録されていません。", kSecurity,
                  IDC_OPT_PASSWORD1);
  const std::wstring key = WideText(IDC_OPT_KEY1);
  const bool guard = ChoiceIndex(kCopyGuard) == kCopyGuardOn;
  if (guard && key != WideText(IDC_OPT_KEY2))
    return Refuse(L"ユーザー認証コード生成用キーの設定が一致していません。\n２つの入力エリアに同じパスワードを設定してください。",
                  kGuard, IDC_OPT_KEY1);
  if (guard && key.empty()) return Refuse(L"ユーザー認証コード生成用キーを設定してください。", kGuard, IDC_OPT_KEY1);
  // The key is stored scrambled as the password is; one that could not be
  // read back would silently be lost.
  if (!StorableSecret(key, kKeyBytes)) {
    EnableGuardControls(true);
    return Refuse(L"ユーザー認証コード生成用キーには、「+」以外の半角英数字・記号を8文字以内で設定してください。",
                  kGuard, IDC_OPT_KEY1);
  }
  static constexpr const wchar_t* kEraMessages[kEraCount] = {
      L"和暦1の開始年月日が不正です。", L"和暦2の開始年月日が不正です。", L"和暦3の開始年月日が不正です。",
      L"和暦4の開始年月日が不正です。", L"和暦5の開始年月日が不正です。"};
  for (int i = 0; i < kEraCount; ++i) {
    // The era calculation reads year/month/day with "/" and a four-digit
    // year, whatever the system's own date format.
    const std::string date = Cp932Text(IDC_OPT_ERADATE1 + i);
    if (!date.empty() && !IsEraStartDate(date)) return Refuse(kEraMessages[i], kEras, IDC_OPT_ERADATE1 + i);
  }
  return true;
}

void TForm3::StoreControls() {
  OptionRecord& o = OptionSettings;
  Take(kPasswordCheck, o.PasswordCheck);
  SetUserPassword(Narrow(WideText(IDC_OPT_PASSWORD1)));
  Take(kEditorLock, o.EditorLock);
  Take(kCheckDate, o.CheckDate);
  Take(kColorBits, o.ColorBits);
  Take(kClipboardFormat, o.ClipboardFormat);
  Take(kDocumentFilter, o.DocumentFilter);
  Take(kShowMessage, o.ShowMessage);
  Take(kFocusGet, o.FocusGet);
  Take(kHideMenu, o.HideMenu);
  Take(kPasswordOnStamp, o.PasswordOnStamp);
  Take(kShowExBar, o.ShowExBar);
  Take(kCopyGuard, o.CopyGuard);
  Take(kBackImage, o.BackImage);
  SetField(o.UIDK, Cp932Text(IDC_OPT_KEY1));
  o.RezoHosei = SliderPosition(IDC_OPT_REZOHOSEI);
  Take(kRotate, o.Rotate);
  Take(kRotateSz, o.RotateSz);
  o.RotateAngle = ParseDecimal(Cp932Text(IDC_OPT_ROTATEANGLE));
  Take(kDoubleClick, o.TaskTrayIconDoubleClick);
  Take(kStayOnTray, o.StayOnTaskTray);
  Take(kMainToolBar, o.MainToolBar);
  Take(kTerminate, o.TerminateAsStamped);
  Take(kNoDispTitle, o.NoDispCopyGuardTitle);
  Take(kClipBrdClear, o.ClipBrdClear);
  Take(kGenMetafile, o.GenMetafile);
  o.ClipboardPng = Checked(IDC_OPT_CLIPBOARDPNG) ? 1 : 0;
  // Under the policy the box shows the forced state; the user's own choice
  // is kept for the day the policy is lifted.
  if (!ReadAdminPolicy(store_).StampLogForced) o.StampLog = Checked(IDC_OPT_STAMPLOG) ? 1 : 0;
  o.SecTextColor = secTextColour_;
  o.SecLineColor = secLineColour_;
  for (int i = 0; i < kEraCount; ++i) SetField(o.WarekiName[i], Cp932Text(IDC_OPT_ERANAME1 + i));
  for (int i = 0; i < kEraCount; ++i) SetField(o.WarekiDate[i], Cp932Text(IDC_OPT_ERADATE1 + i));
  Take(kInkEffect, o.InkEffect);
  o.InkTilt = Checked(IDC_OPT_INKTILT) ? 1 : 0;
}

void TForm3::Button1Click() {
  if (!Validate()) return;
  StoreControls();
  SaveAllSettings(store_);
  End(IDOK);
}

bool TForm3::OnCommand(int id, int code) {
  if (id == IDCANCEL) {
    End(IDCANCEL);
    return true;
  }
  if (code != BN_CLICKED) return false;
  switch (id) {
    case IDC_OPTIONS_FINISH: Button1Click(); break;
    case IDC_OPT_REZOHOSEI_RESET:
      SetSliderPosition(IDC_OPT_REZOHOSEI, 100);
      ShowCorrection();
      break;
    case IDC_OPT_SECTEXT_BUTTON:
    case IDC_OPT_SECLINE_BUTTON: ColourButtonClick(id); break;
    default: ChoiceClicked(id); break;
  }
  return true;
}

bool TForm3::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) {
  if (FormDialog::OnMessage(message, wParam, lParam, result)) return true;
  if (message == WM_HSCROLL && GetDlgCtrlID(reinterpret_cast<HWND>(lParam)) == IDC_OPT_REZOHOSEI) {
    ShowCorrection();
    return true;
  }
  if (message == WM_DRAWITEM) {
    const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    if (item->CtlID != IDC_OPT_SECTEXT_SWATCH && item->CtlID != IDC_OPT_SECLINE_SWATCH) return false;
    const std::int32_t colour = item->CtlID == IDC_OPT_SECTEXT_SWATCH ? secTextColour_ : secLineColour_;
    UniqueHbrush brush(CreateSolidBrush(static_cast<COLORREF>(colour) & 0xFFFFFF));
    FillRect(item->hDC, &item->rcItem, brush.get());
    FrameRect(item->hDC, &item->rcItem, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    result = TRUE;
    return true;
  }
  return false;
}

}  // namespace

bool RunOptionsDialog(HWND owner, SettingsStore& store) {
  const INITCOMMONCONTROLSEX classes{sizeof classes, ICC_BAR_CLASSES | ICC_TAB_CLASSES};
  InitCommonControlsEx(&classes);
  TForm3 form(store);
  return form.Run(IDD_OPTIONS, owner) == IDOK;
}
