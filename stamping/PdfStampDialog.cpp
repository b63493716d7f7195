#include "PdfStampDialog.h"

#include <commdlg.h>
#include <shellapi.h>

#include <cmath>
#include <cstdio>
#include <cwchar>

#include "Dialog.h"
#include "PdfRequest.h"
#include "Text.h"
#include "resource.h"

namespace {

constexpr const wchar_t* kCorners[] = {L"左上", L"右上", L"左下", L"右下"};
constexpr PdfCorner kCornerValues[] = {PdfCorner::TopLeft, PdfCorner::TopRight, PdfCorner::BottomLeft,
                                       PdfCorner::BottomRight};

std::wstring MmText(double mm) {
  wchar_t text[32];
  std::swprintf(text, 32, L"%g", std::round(mm * 10) / 10);
  return text;
}

class PdfStampDialog : public ModalDialog {
 public:
  PdfStampDialog(const PdfStampSeals& seals, PdfStampRequest& request) : seals_(seals), request_(request) {}

 protected:
  void OnInitDialog() override {
    SetItemText(IDC_PDF_FILE, request_.pdf);
    const int pageButton = request_.page.kind == PdfPageChoice::Kind::First    ? IDC_PDF_PAGE_FIRST
                           : request_.page.kind == PdfPageChoice::Kind::Number ? IDC_PDF_PAGE_NUMBER
                                                                                : IDC_PDF_PAGE_LAST;
    CheckRadioButton(hwnd_, IDC_PDF_PAGE_FIRST, IDC_PDF_PAGE_NUMBER, pageButton);
    SetItemText(IDC_PDF_PAGE_EDIT, request_.page.number > 0 ? std::to_wstring(request_.page.number) : L"1");
    FillSeals();
    for (const wchar_t* corner : kCorners)
      SendMessageW(Item(IDC_PDF_CORNER), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(corner));
    SendMessageW(Item(IDC_PDF_CORNER), CB_SETCURSEL, static_cast<WPARAM>(request_.position.corner), 0);
    ChoosePositionKind(request_.position.atCorner ? IDC_PDF_AT_CORNER : IDC_PDF_AT_POINT);
    SetItemText(IDC_PDF_MARGIN, MmText(request_.position.marginMm));
    SetItemText(IDC_PDF_X, MmText(request_.position.xMm));
    SetItemText(IDC_PDF_Y, MmText(request_.position.yMm));
    CheckRadioButton(hwnd_, IDC_PDF_COPY, IDC_PDF_IN_PLACE,
                     request_.mode == PdfWriteMode::InPlace ? IDC_PDF_IN_PLACE : IDC_PDF_COPY);
    CheckDlgButton(hwnd_, IDC_PDF_FLATTEN, request_.flatten ? BST_CHECKED : BST_UNCHECKED);
    ShowFacts();
  }

  bool OnCommand(int id, int code) override {
    switch (id) {
      case IDOK:
        if (Accept()) End(IDOK);
        return true;
      case IDCANCEL:
        End(IDCANCEL);
        return true;
      case IDC_PDF_BROWSE:
        Browse();
        return true;
      case IDC_PDF_FILE:
      case IDC_PDF_PAGE_EDIT:
        if (code == EN_KILLFOCUS) ShowFacts();
        return code == EN_KILLFOCUS;
      case IDC_PDF_AT_CORNER:
      case IDC_PDF_AT_POINT:
        ChoosePositionKind(id);
        return true;
      case IDC_PDF_PAGE_FIRST:
      case IDC_PDF_PAGE_LAST:
      case IDC_PDF_PAGE_NUMBER:
        ShowFacts();
        return true;
      default:
        return false;
    }
  }

  bool OnMessage(UINT message, WPARAM wParam, LPARAM, INT_PTR& result) override {
    if (message != WM_DROPFILES) return false;
    HDROP drop = reinterpret_cast<HDROP>(wParam);
    const UINT length = DragQueryFileW(drop, 0, nullptr, 0);
    std::wstring path(length + 1, L'\0');
    if (length > 0 && DragQueryFileW(drop, 0, path.data(), length + 1) == length) {
      path.resize(length);
      SetItemText(IDC_PDF_FILE, path);
      ShowFacts();
    }
    DragFinish(drop);
    result = 0;
    return true;
  }

 private:
  // The two position buttons have the corner's fields between them, so the
  // dialog manager does not treat them as one group: one is checked here.
  void ChoosePositionKind(int id) {
    CheckDlgButton(hwnd_, IDC_PDF_AT_CORNER, id == IDC_PDF_AT_CORNER ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(hwnd_, IDC_PDF_AT_POINT, id == IDC_PDF_AT_POINT ? BST_CHECKED : BST_UNCHECKED);
  }

  void FillSeals() {
    HWND combo = Item(IDC_PDF_SEAL);
    auto add = [&](const std::wstring& text, PdfSealChoice choice) {
      const LRESULT index = SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
      choices_.push_back(choice);
      if (choice.kind == request_.seal.kind && choice.slot == request_.seal.slot)
        SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    };
    add(L"認印", {PdfSealKind::Name, 0});
    add(L"日付印", {PdfSealKind::Date, 0});
    if (seals_.hasBitmapSeal) add(L"ビットマップ印", {PdfSealKind::Bitmap, 0});
    for (std::size_t i = 0; i < seals_.slotNames.size() && i < 10; ++i)
      if (!seals_.slotNames[i].empty())
        add(L"ツールバー" + std::to_wstring(i + 1) + L": " + seals_.slotNames[i],
            {PdfSealKind::Slot, static_cast<int>(i + 1)});
    if (SendMessageW(combo, CB_GETCURSEL, 0, 0) == CB_ERR) SendMessageW(combo, CB_SETCURSEL, 0, 0);
  }

  PdfPageChoice PageChoice() const {
    if (IsDlgButtonChecked(hwnd_, IDC_PDF_PAGE_FIRST) == BST_CHECKED) return {PdfPageChoice::Kind::First, 0};
    if (IsDlgButtonChecked(hwnd_, IDC_PDF_PAGE_NUMBER) != BST_CHECKED) return {PdfPageChoice::Kind::Last, 0};
    BOOL ok = FALSE;
    const UINT number = GetDlgItemInt(hwnd_, IDC_PDF_PAGE_EDIT, &ok, FALSE);
    return {PdfPageChoice::Kind::Number, ok && number <= 10'000'000 ? static_cast<int>(number) : 0};
  }

  // The PDF's pages and the chosen page's size as the user sees it, so
  // the millimetres typed can be judged against it.
  void ShowFacts() {
    const std::wstring pdf = ItemText(IDC_PDF_FILE);
    if (pdf.empty()) {
      SetItemText(IDC_PDF_FACTS, L"PDFファイルを選ぶか、ここへドロップしてください。");
      return;
    }
    const PdfPreviewFacts facts = ReadPdfFacts(pdf, PageChoice());
    std::wstring text;
    if (facts.result == PdfStampResult::Stamped) {
      wchar_t size[96];
      std::swprintf(size, 96, L"全%dページ。このページは横 %.1f mm × 縦 %.1f mm です。", facts.pageCount,
                    facts.shown.widthMm, facts.shown.heightMm);
      text = size;
    } else {
      PdfMessageFacts about{pdf, {}, 0, facts.pageCount, 0};
      text = PdfStampMessage(facts.result, about);
      text = text.substr(0, text.find(L'\n'));
    }
    SetItemText(IDC_PDF_FACTS, text);
  }

  void Browse() {
    wchar_t path[MAX_PATH * 4] = {};
    const std::wstring current = ItemText(IDC_PDF_FILE);
    wcsncpy(path, current.c_str(), MAX_PATH * 4 - 1);
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = hwnd_;
    ofn.lpstrFilter = L"PDFファイル (*.pdf)\0*.pdf\0すべてのファイル (*.*)\0*.*\0";
    ofn.lpstrFile = path;
    ofn.nMaxFile = MAX_PATH * 4;
    ofn.lpstrTitle = L"押印するPDF";
    ofn.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_EXPLORER;
    if (GetOpenFileNameW(&ofn)) {
      SetItemText(IDC_PDF_FILE, path);
      ShowFacts();
    }
  }

  // Validation messages have no caption, as in the program's other dialogs.
  bool Refuse(int id, const wchar_t* message) {
    MessageBoxW(hwnd_, message, L"", MB_OK | MB_ICONWARNING);
    SendMessageW(hwnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(id)), TRUE);
    return false;
  }

  bool Accept() {
    PdfStampRequest r = request_;
    r.pdf = ItemText(IDC_PDF_FILE);
    if (r.pdf.empty()) return Refuse(IDC_PDF_FILE, L"押印するPDFファイルを選んでください。");
    r.page = PageChoice();
    if (r.page.kind == PdfPageChoice::Kind::Number && r.page.number < 1)
      return Refuse(IDC_PDF_PAGE_EDIT, L"ページ番号を1以上の数で入力してください。");
    const LRESULT seal = SendMessageW(Item(IDC_PDF_SEAL), CB_GETCURSEL, 0, 0);
    r.seal = seal >= 0 && static_cast<std::size_t>(seal) < choices_.size() ? choices_[seal] : PdfSealChoice{};
    r.position.atCorner = IsDlgButtonChecked(hwnd_, IDC_PDF_AT_POINT) != BST_CHECKED;
    const LRESULT corner = SendMessageW(Item(IDC_PDF_CORNER), CB_GETCURSEL, 0, 0);
    r.position.corner = kCornerValues[corner >= 0 && corner < 4 ? corner : 1];
    if (r.position.atCorner && !ParseMm(Utf8FromWide(ItemText(IDC_PDF_MARGIN)), r.position.marginMm))
      return Refuse(IDC_PDF_MARGIN, L"余白をmmの数で入力してください。");
    if (!r.position.atCorner && !ParseMm(Utf8FromWide(ItemText(IDC_PDF_X)), r.position.xMm))
      return Refuse(IDC_PDF_X, L"横の位置をmmの数で入力してください。");
    if (!r.position.atCorner && !ParseMm(Utf8FromWide(ItemText(IDC_PDF_Y)), r.position.yMm))
      return Refuse(IDC_PDF_Y, L"縦の位置をmmの数で入力してください。");
    r.mode = IsDlgButtonChecked(hwnd_, IDC_PDF_IN_PLACE) == BST_CHECKED ? PdfWriteMode::InPlace : PdfWriteMode::Copy;
    r.flatten = IsDlgButtonChecked(hwnd_, IDC_PDF_FLATTEN) == BST_CHECKED;
    r.output.clear();
    r.replaceOutput = false;
    if (r.mode == PdfWriteMode::Copy) {
      const std::wstring copy = StampedCopyName(r.pdf);
      if (GetFileAttributesW(copy.c_str()) != INVALID_FILE_ATTRIBUTES) {
        const std::wstring question = copy + L"\nは既にあります。置き換えますか？";
        if (MessageBoxW(hwnd_, question.c_str(), L"Varnel印鑑", MB_OKCANCEL | MB_ICONQUESTION) != IDOK) return false;
        r.replaceOutput = true;
      }
    }
    request_ = r;
    return true;
  }

  const PdfStampSeals& seals_;
  PdfStampRequest& request_;
  std::vector<PdfSealChoice> choices_;
};

}  // namespace

bool AskPdfStamp(HWND owner, const PdfStampSeals& seals, PdfStampRequest& request) {
  PdfStampDialog dialog(seals, request);
  return dialog.Run(IDD_PDF_STAMP, owner) == IDOK;
}
