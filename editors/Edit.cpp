#include "Edit.h"

#include <commctrl.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "Clock.h"
#include "CommonDialogs.h"
#include "FileSystem.h"
#include "FormDialog.h"
#include "ProgramFolder.h"
#include "QdxDate.h"
#include "SealPreview.h"
#include "Settings.h"
#include "Sjis.h"
#include "resource.h"

namespace {

enum EditorPage { kNamePage, kNameTextPage, kDatePage, kDateTextPage };

constexpr int kNamePresets[] = {143, 130, 117, 104};  // 特大, 大, 中, 小
constexpr int kDatePresets[] = {145, 130, 115, 99};
constexpr std::int32_t kColours[] = {255, 0, 16711680};  // 赤, 黒, 青; 他 is the colour dialog's
constexpr int kOtherColour = 3;
constexpr std::int32_t kLineWidths[] = {10, 8, 6, 5, 4, 3};
constexpr std::int32_t kShapes[] = {100, 80, 60, 0};

constexpr Choice kNameResolution{IDC_NAME_RESOLUTION, 2};
constexpr Choice kNameColour{IDC_NAME_COLOR, 4};
constexpr Choice kNameLine{IDC_NAME_LINE, 6};
constexpr Choice kNameShape{IDC_NAME_SHAPE, 4};
constexpr Choice kDateColour{IDC_DATE_COLOR, 4};
constexpr Choice kDateLine{IDC_DATE_LINE, 6};
constexpr Choice kDateRing{IDC_DATE_RING, 4};
constexpr Choice kDateYears{IDC_DATE_YEARS, 3};
// Choices whose change redraws the preview (the resolution only changes the size display).
constexpr Choice kPreviewChoices[] = {kNameColour, kNameLine, kNameShape, kDateColour, kDateLine, kDateRing, kDateYears};

struct TextEdit {
  int id;
  std::size_t maxBytes;
};
constexpr TextEdit kTextEdits[] = {
    {IDC_NAME_TEXT1, 8},       {IDC_NAME_TEXT1 + 1, 8},   {IDC_NAME_TEXT1 + 2, 8},   {IDC_NAME_TEXT1 + 3, 8},
    {IDC_NAME_EXTEXT1, 8},     {IDC_NAME_EXTEXT1 + 1, 8}, {IDC_NAME_EXTEXT1 + 2, 8}, {IDC_NAME_EXTEXT1 + 3, 8},
    {IDC_DATE_TEXT1, 18},      {IDC_DATE_TEXT2, 18},      {IDC_DATE_TEXT3, 18},      {IDC_DATE_TEXT4, 18},
    {IDC_DATE_TEXT5, 18},      {IDC_DATE_HEADER, 6},
};

enum FontIndex { kMainFont, kExFont, kUpperFont, kMiddleFont, kLowerFont, kFontCount };
struct FontControl {
  int button;
  int upDown;
  int lowestSize;
  FontIndex font;
};
constexpr FontControl kFontControls[] = {
    {IDC_NAME_FONT, IDC_NAME_FONTSIZE, 10, kMainFont},   {IDC_NAME_EXFONT, IDC_NAME_EXFONTSIZE, 10, kExFont},
    {IDC_DATE_FONTU, IDC_DATE_FONTSIZEU, 0, kUpperFont}, {IDC_DATE_FONTM, IDC_DATE_FONTSIZEM, 0, kMiddleFont},
    {IDC_DATE_FONTL, IDC_DATE_FONTSIZEL, 0, kLowerFont},
};
constexpr int kHighestFontSize = 150;
constexpr std::size_t kFontNameBytes = 39;

template <std::size_t N>
int IndexOf(const std::int32_t (&table)[N], std::int32_t value) {
  for (std::size_t i = 0; i < N; ++i)
    if (table[i] == value) return static_cast<int>(i);
  return -1;
}

// A seal size in millimetres at a scale, as "##.0 'mm'" shows it.
std::wstring SizeText(std::int32_t size, int pixelsPerMetre) {
  const std::int64_t scaled = std::int64_t{size} * 20000;  // tenths of a millimetre, times the scale
  const std::int64_t half = scaled >= 0 ? pixelsPerMetre : -pixelsPerMetre;
  const std::int64_t tenths = (2 * scaled + half) / (2 * std::int64_t{pixelsPerMetre});
  const std::int64_t magnitude = tenths < 0 ? -tenths : tenths;
  const std::wstring whole = magnitude >= 10 ? std::to_wstring(magnitude / 10) : L"";
  return (tenths < 0 ? L"-" : L"") + whole + L"." + std::to_wstring(magnitude % 10) + L" mm";
}

// A text field takes the text and zeros after it, as a freshly loaded record has.
template <std::size_t N>
void SetField(char (&field)[N], std::string_view text) {
  std::memset(field, 0, N);
  CopyToField(field, text);
}

SealFont FontOf(const char (&name)[40], std::int32_t size, std::uint8_t style) {
  return {std::string(FieldText(name)), size, style};
}

void StoreFont(const SealFont& font, char (&name)[40], std::int32_t& size, std::uint8_t& style) {
  SetField(name, font.name);
  size = font.size;
  style = font.style;
}

class TForm2 : public FormDialog {
 public:
  TForm2(SettingsStore& store, const AdminPolicyState& policy) : store_(store), policy_(policy) {}
  // Puts the seal records back as they were on opening, unless finished.
  void RestoreUnlessFinished();

 protected:
  void OnInitDialog() override { FormCreate(); }
  bool OnCommand(int id, int code) override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;
  void OnPageChanged() override { Preview(); }
  void OnClose() override { CloseUnlessKept(); }

 private:
  void FormCreate();
  void PrepareControls();
  void FillNameControls();
  void FillDateControls();
  void ReadNameControls();
  void ReadDateControls();
  void FillColour(Choice choice, std::int32_t value, std::int32_t& dialogColour) const;
  std::int32_t ReadColour(Choice choice, std::int32_t dialogColour, std::int32_t current) const;
  void FillFont(FontIndex index, const SealFont& font);
  SealFont ReadFont(FontIndex index);
  void ApplyPolicy();
  void RefreshSizeDisplays() const;
  void SizePresetClick(int id);
  void SizeUpDownMoved(int id);
  void FontButtonClick(const FontControl& control);
  void ColourButtonClick(int id);
  void Preview();
  void Button1Click();
  struct Design {
    NameSealRecord name;
    DateSealRecord date;
    bool operator==(const Design& other) const {
      return std::memcmp(&name, &other.name, sizeof name) == 0 && std::memcmp(&date, &other.date, sizeof date) == 0;
    }
  };
  Design DesignInControls();
  void CloseUnlessKept();

  SettingsStore& store_;
  const AdminPolicyState& policy_;
  bool opened_ = false, finished_ = false;
  NameSealRecord openedName_{};
  DateSealRecord openedDate_{};
  // The design as the controls showed it on opening: what a close compares against.
  Design openedDesign_{};
  // The sizes chosen for the two seals, in StampSize units.
  std::int32_t NameSize = 0, DateSize = 0;
  // Set while the controls are filled from the records: nothing is previewed.
  bool Filling = false;
  SealFont fonts_[kFontCount];
  // The colours the two colour dialogs hold (black until a seal of another colour is opened).
  std::int32_t nameColour_ = 0, dateColour_ = 0;
  CustomColours customColours_{};
  SealPreview preview_;
};

void TForm2::FormCreate() {
  LoadAllSettings(store_, ProgramFileExists);
  openedName_ = NameSealSettings;
  openedDate_ = DateSealSettings;
  opened_ = true;
  Filling = true;
  CreatePages(IDC_EDITOR_TABS, {{IDD_EDITOR_PAGE_NAME, L"ネーム印（全体）"},
                                {IDD_EDITOR_PAGE_NAMETEXT, L"ネーム印（文字部分）"},
                                {IDD_EDITOR_PAGE_DATE, L"デート印（全体・日付）"},
                                {IDD_EDITOR_PAGE_DATETEXT, L"デート印（上下文字部分）"}});
  PrepareControls();
  FillNameControls();
  FillDateControls();
  RefreshSizeDisplays();
  Filling = false;
  openedDesign_ = DesignInControls();
  preview_.Attach(Item(IDC_EDITOR_PREVIEW), Item(IDC_EDITOR_PREVIEW_PANEL));
  // The stamp pad's impression, upright, so the preview stays still while
  // the design changes.
  preview_.SetInk(PreviewImpression(OptionSettings), OptionSettings.RezoHosei);
  ShowPage(kNamePage);
  ApplyPolicy();
  PostMessageW(hwnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(IDC_EDITOR_TABS)), TRUE);
}

void TForm2::PrepareControls() {
  for (const TextEdit& edit : kTextEdits) LimitBytes(edit.id, edit.maxBytes);
  static constexpr const wchar_t* kLineHints[] = {L"最上段の文字", L"２段目の文字", L"３段目の文字", L"４段目の文字"};
  for (int i = 0; i < 4; ++i) {
    AddHint(IDC_NAME_TEXT1 + i, kLineHints[i]);
    AddHint(IDC_NAME_EXTEXT1 + i, kLineHints[i]);
  }
  for (int id : {IDC_NAME_SIZE, IDC_NAME_SIZE_EDIT, IDC_DATE_SIZE, IDC_DATE_SIZE_EDIT})
    AddHint(id, L"印の大きさをピクセル単位で調整します");
  for (int id : {IDC_NAME_OFFSETY, IDC_NAME_EXOFFSETY}) AddHint(id, L"文字の縦位置を調整します");
  for (int id : {IDC_NAME_OFFSETX, IDC_NAME_EXOFFSETX}) AddHint(id, L"文字の横位置を調整します");
  AddHint(IDC_DATE_HEADER, L"「H」とか「'」とかの年号省略文字を設定できます");
}

void TForm2::FillColour(Choice choice, std::int32_t value, std::int32_t& dialogColour) const {
  int index = IndexOf(kColours, value);
  if (index < 0) {
    index = kOtherColour;
    dialogColour = value;
  }
  SetChoiceIndex(choice, index);
}

std::int32_t TForm2::ReadColour(Choice choice, std::int32_t dialogColour, std::int32_t current) const {
  const int index = ChoiceIndex(choice);
  if (index < 0) return current;
  return index == kOtherColour ? dialogColour : kColours[index];
}

void TForm2::FillFont(FontIndex index, const SealFont& font) {
  fonts_[index] = font;
  for (const FontControl& control : kFontControls)
    if (control.font == index) SetUpDown(control.upDown, control.lowestSize, kHighestFontSize, font.size);
}

// The up-down decides the size, the font dialog the face and the style.
SealFont TForm2::ReadFont(FontIndex index) {
  for (const FontControl& control : kFontControls)
    if (control.font == index) fonts_[index].size = UpDownPosition(control.upDown);
  return fonts_[index];
}

void TForm2::FillNameControls() {
  const NameSealMain& m = NameSealSettings.Main;
  const NameSealExt& e = NameSealSettings.Ext;
  NameSize = m.StampSize;
  SetUpDown(IDC_NAME_SIZE, 65, 155, NameSize);
  SetChoiceIndex(kNameResolution, m.Resolution);
  FillColour(kNameColour, m.StampColor, nameColour_);
  SetChoiceIndex(kNameLine, IndexOf(kLineWidths, m.LineWidth));
  SetChoiceIndex(kNameShape, IndexOf(kShapes, m.CircleParameter));
  const char(*texts[])[20] = {&m.Text1, &m.Text2, &m.Text3, &m.Text4};
  const char(*exTexts[])[20] = {&e.ExText1, &e.ExText2, &e.ExText3, &e.ExText4};
  for (int i = 0; i < 4; ++i) {
    SetCp932Text(IDC_NAME_TEXT1 + i, FieldText(*texts[i]));
    SetCp932Text(IDC_NAME_EXTEXT1 + i, FieldText(*exTexts[i]));
  }
  FillFont(kMainFont, FontOf(m.FontName, m.FontSize, m.FontStyle));
  FillFont(kExFont, FontOf(e.ExFontName, e.ExFontSize, e.ExFontStyle));
  SetSlider(IDC_NAME_OFFSETY, -120, 120, m.OffsetY);
  SetSlider(IDC_NAME_OFFSETX, -120, 120, m.OffsetX);
  SetSlider(IDC_NAME_TEXTSPACE, -50, 50, m.TextSpace);
  SetSlider(IDC_NAME_EXOFFSETY, -120, 120, e.ExOffsetY);
  SetSlider(IDC_NAME_EXOFFSETX, -120, 120, e.ExOffsetX);
  SetSlider(IDC_NAME_EXTEXTSPACE, -50, 50, e.ExTextSpace);
  SetChecked(IDC_NAME_USEEX, e.UseNameEX != 0);
}

void TForm2::FillDateControls() {
  const DateSealMain& m = DateSealSettings.Main;
  const DateSealExt& x = DateSealSettings.Ext;
  DateSize = m.StampSize;
  SetUpDown(IDC_DATE_SIZE, 85, 155, DateSize);
  FillColour(kDateColour, m.StampColor, dateColour_);
  SetChoiceIndex(kDateLine, IndexOf(kLineWidths, m.LineWidth));
  SetChoiceIndex(kDateRing, m.TwinRing);
  SetChoiceIndex(kDateYears, m.Years);
  SetSlider(IDC_DATE_SPACEM, -5, 5, m.SpaceM);
  FillFont(kMiddleFont, FontOf(m.FontNameM, m.FontSizeM, m.FontStyleM));
  SetCp932Text(IDC_DATE_HEADER, FieldText(m.Header));
  SetChecked(IDC_DATE_DATENZ, x.DateNZ != 0);
  SetCp932Text(IDC_DATE_TEXT1, FieldText(m.Text1));
  SetCp932Text(IDC_DATE_TEXT3, FieldText(x.Text3));
  FillFont(kUpperFont, FontOf(m.FontNameU, m.FontSizeU, m.FontStyleU));
  SetSlider(IDC_DATE_UT2SPACE, -20, 20, x.U_T2Space);
  SetSlider(IDC_DATE_POSITIONU, -20, 20, m.PositionU);
  SetCp932Text(IDC_DATE_TEXT2, FieldText(m.Text2));
  SetCp932Text(IDC_DATE_TEXT4, FieldText(x.Text4));
  FillFont(kLowerFont, FontOf(m.FontNameL, m.FontSizeL, m.FontStyleL));
  SetSlider(IDC_DATE_LT2FONTSIZE, -50, 50, x.L_T2FontSize);
  SetSlider(IDC_DATE_LT2SPACE, -10, 10, x.L_T2Space);
  SetCp932Text(IDC_DATE_TEXT5, FieldText(x.Text5));
  SetSlider(IDC_DATE_LT3SPACE, -20, 20, x.L_T3Space);
  SetSlider(IDC_DATE_POSITIONL, -20, 20, m.PositionL);
}

// A choice without a selection (a stored value outside its list) leaves
// its field as stored.
void TForm2::ReadNameControls() {
  NameSealMain& m = NameSealSettings.Main;
  NameSealExt& e = NameSealSettings.Ext;
  m.StampSize = NameSize;
  if (const int i = ChoiceIndex(kNameResolution); i >= 0) m.Resolution = i;
  m.StampColor = ReadColour(kNameColour, nameColour_, m.StampColor);
  if (const int i = ChoiceIndex(kNameLine); i >= 0) m.LineWidth = kLineWidths[i];
  if (const int i = ChoiceIndex(kNameShape); i >= 0) m.CircleParameter = kShapes[i];
  char(*texts[])[20] = {&m.Text1, &m.Text2, &m.Text3, &m.Text4};
  char(*exTexts[])[20] = {&e.ExText1, &e.ExText2, &e.ExText3, &e.ExText4};
  for (int i = 0; i < 4; ++i) {
    SetField(*texts[i], Cp932Text(IDC_NAME_TEXT1 + i));
    SetField(*exTexts[i], Cp932Text(IDC_NAME_EXTEXT1 + i));
  }
  StoreFont(ReadFont(kMainFont), m.FontName, m.FontSize, m.FontStyle);
  StoreFont(ReadFont(kExFont), e.ExFontName, e.ExFontSize, e.ExFontStyle);
  m.OffsetY = SliderPosition(IDC_NAME_OFFSETY);
  m.OffsetX = SliderPosition(IDC_NAME_OFFSETX);
  m.TextSpace = SliderPosition(IDC_NAME_TEXTSPACE);
  e.ExOffsetY = SliderPosition(IDC_NAME_EXOFFSETY);
  e.ExOffsetX = SliderPosition(IDC_NAME_EXOFFSETX);
  e.ExTextSpace = SliderPosition(IDC_NAME_EXTEXTSPACE);
  e.UseNameEX = Checked(IDC_NAME_USEEX) ? 1 : 0;
}

void TForm2::ReadDateControls() {
  DateSealMain& m = DateSealSettings.Main;
  DateSealExt& x = DateSealSettings.Ext;
  m.StampSize = DateSize;
  m.StampColor = ReadColour(kDateColour, dateColour_, m.StampColor);
  if (const int i = ChoiceIndex(kDateLine); i >= 0) m.LineWidth = kLineWidths[i];
  if (const int i = ChoiceIndex(kDateRing); i >= 0) m.TwinRing = i;
  if (const int i = ChoiceIndex(kDateYears); i >= 0) m.Years = i;
  m.SpaceM = SliderPosition(IDC_DATE_SPACEM);
  StoreFont(ReadFont(kMiddleFont), m.FontNameM, m.FontSizeM, m.FontStyleM);
  SetField(m.Header, Cp932Text(IDC_DATE_HEADER));
  x.DateNZ = Checked(IDC_DATE_DATENZ) ? 1 : 0;
  SetField(m.Text1, Cp932Text(IDC_DATE_TEXT1));
  SetField(x.Text3, Cp932Text(IDC_DATE_TEXT3));
  StoreFont(ReadFont(kUpperFont), m.FontNameU, m.FontSizeU, m.FontStyleU);
  x.U_T2Space = SliderPosition(IDC_DATE_UT2SPACE);
  m.PositionU = SliderPosition(IDC_DATE_POSITIONU);
  SetField(m.Text2, Cp932Text(IDC_DATE_TEXT2));
  SetField(x.Text4, Cp932Text(IDC_DATE_TEXT4));
  StoreFont(ReadFont(kLowerFont), m.FontNameL, m.FontSizeL, m.FontStyleL);
  x.L_T2FontSize = SliderPosition(IDC_DATE_LT2FONTSIZE);
  x.L_T2Space = SliderPosition(IDC_DATE_LT2SPACE);
  SetField(x.Text5, Cp932Text(IDC_DATE_TEXT5));
  x.L_T3Space = SliderPosition(IDC_DATE_LT3SPACE);
  m.PositionL = SliderPosition(IDC_DATE_POSITIONL);
}

void TForm2::ApplyPolicy() {
  if (policy_.Off(0)) {
    HidePage(kNamePage);
    HidePage(kNameTextPage);
    ShowPage(kDateTextPage);
  }
  if (policy_.Off(1)) {
    HidePage(kDatePage);
    HidePage(kDateTextPage);
    ShowPage(kNamePage);
  }
}

void TForm2::RefreshSizeDisplays() const {
  const int nameScale = ChoiceIndex(kNameResolution) == 1 ? 15249 : 26000;
  SetWindowTextW(Control(IDC_NAME_SIZE_MM), SizeText(NameSize, nameScale).c_str());
  SetWindowTextW(Control(IDC_DATE_SIZE_MM), SizeText(DateSize, 15249).c_str());
}

void TForm2::SizePresetClick(int id) {
  if (id >= IDC_NAME_SIZE_XL && id <= IDC_NAME_SIZE_S) {
    NameSize = kNamePresets[id - IDC_NAME_SIZE_XL];
    SetUpDownPosition(IDC_NAME_SIZE, NameSize);
  } else {
    DateSize = kDatePresets[id - IDC_DATE_SIZE_XL];
    SetUpDownPosition(IDC_DATE_SIZE, DateSize);
  }
  RefreshSizeDisplays();
  Preview();
}

void TForm2::SizeUpDownMoved(int id) {
  (id == IDC_NAME_SIZE ? NameSize : DateSize) = UpDownPosition(id);
  RefreshSizeDisplays();
  Preview();
}

void TForm2::FontButtonClick(const FontControl& control) {
  SealFont& font = fonts_[control.font];
  font.size = UpDownPosition(control.upDown);
  if (!ChooseSealFont(hwnd_, font, control.lowestSize, kHighestFontSize, kFontNameBytes)) return;
  SetUpDownPosition(control.upDown, font.size);
  Preview();
}

void TForm2::ColourButtonClick(int id) {
  const bool name = id == IDC_NAME_COLOR_BUTTON;
  std::int32_t& held = name ? nameColour_ : dateColour_;
  COLORREF colour = static_cast<COLORREF>(held) & 0xFFFFFF;
  if (!ChooseColour(hwnd_, colour, customColours_)) return;
  held = static_cast<std::int32_t>(colour);
  SetChoiceIndex(name ? kNameColour : kDateColour, kOtherColour);
  Preview();
}

void TForm2::Preview() {
  if (Filling) return;
  switch (ActivePage()) {
    case kNamePage:
    case kNameTextPage:
      ReadNameControls();
      preview_.ShowNameSeal(NameSealSettings);
      break;
    case kDatePage:
    case kDateTextPage: {
      ReadDateControls();
      // Today's date as the stamp would print it; the preview never asks for another.
      const DateSealRecord& seal = DateSealSettings;
      preview_.ShowDateSeal(seal, ComposeDateText(FieldText(seal.Main.Header), seal.Main.Years,
                                                  seal.Ext.DateNZ == 1, SystemClock()));
      break;
    }
  }
}

void TForm2::Button1Click() {
  ReadNameControls();
  ReadDateControls();
  SaveAllSettings(store_);
  finished_ = true;
  End(IDOK);
}

// Both records as the controls would store them, the records in memory left as they were.
TForm2::Design TForm2::DesignInControls() {
  const NameSealRecord name = NameSealSettings;
  const DateSealRecord date = DateSealSettings;
  ReadNameControls();
  ReadDateControls();
  const Design design{NameSealSettings, DateSealSettings};
  NameSealSettings = name;
  DateSealSettings = date;
  return design;
}

// Esc and the close box: a design the user changed is thrown away only when
// the user agrees; an unchanged one closes at once.
void TForm2::CloseUnlessKept() {
  if (DesignInControls() != openedDesign_ &&
      MessageBoxW(hwnd_, L"編集内容を破棄しますか？", L"Varnel印鑑", MB_OKCANCEL | MB_ICONQUESTION) != IDOK)
    return;
  End(IDCANCEL);
}

void TForm2::RestoreUnlessFinished() {
  if (!opened_ || finished_) return;
  NameSealSettings = openedName_;
  DateSealSettings = openedDate_;
}

bool TForm2::OnCommand(int id, int code) {
  if (id == IDCANCEL) {
    CloseUnlessKept();
    return true;
  }
  if (code == EN_CHANGE) {
    for (const TextEdit& edit : kTextEdits)
      if (edit.id == id) Preview();
    return true;
  }
  if (code != BN_CLICKED) return false;
  if (id == IDC_EDITOR_FINISH) {
    Button1Click();
  } else if (id == IDC_EDITOR_PREVIEW_BUTTON || id == IDC_NAME_USEEX || id == IDC_DATE_DATENZ) {
    Preview();
  } else if ((id >= IDC_NAME_SIZE_XL && id <= IDC_NAME_SIZE_S) || (id >= IDC_DATE_SIZE_XL && id <= IDC_DATE_SIZE_S)) {
    SizePresetClick(id);
  } else if (id == IDC_NAME_COLOR_BUTTON || id == IDC_DATE_COLOR_BUTTON) {
    ColourButtonClick(id);
  } else if (InChoice(kNameResolution, id)) {
    RefreshSizeDisplays();
  } else {
    for (const FontControl& control : kFontControls)
      if (control.button == id) FontButtonClick(control);
    for (Choice choice : kPreviewChoices)
      if (InChoice(choice, id)) Preview();
  }
  return true;
}

bool TForm2::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) {
  if (FormDialog::OnMessage(message, wParam, lParam, result)) return true;
  switch (message) {
    case WM_VSCROLL: {
      // The up-downs: the size ones follow every step, the font-size ones
      // preview when let go.
      const int id = GetDlgCtrlID(reinterpret_cast<HWND>(lParam));
      if ((id == IDC_NAME_SIZE || id == IDC_DATE_SIZE) && LOWORD(wParam) == SB_THUMBPOSITION)
        SizeUpDownMoved(id);
      else if (id != IDC_NAME_SIZE && id != IDC_DATE_SIZE && LOWORD(wParam) == SB_ENDSCROLL)
        Preview();
      return true;
    }
    case WM_HSCROLL:
      if (LOWORD(wParam) != TB_ENDTRACK) Preview();
      return true;
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (item->CtlID != IDC_EDITOR_PREVIEW) return false;
      preview_.Paint(*item);
      result = TRUE;
      return true;
    }
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE) Preview();
      return false;
  }
  return false;
}

}  // namespace

bool RunSealEditor(HWND owner, SettingsStore& store, const AdminPolicyState& policy) {
  const INITCOMMONCONTROLSEX classes{sizeof classes, ICC_BAR_CLASSES | ICC_UPDOWN_CLASS | ICC_TAB_CLASSES};
  InitCommonControlsEx(&classes);
  TForm2 form(store, policy);
  const bool finished = form.Run(IDD_EDITOR, owner) == IDOK;
  form.RestoreUnlessFinished();
  return finished;
}
