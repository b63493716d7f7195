#include "StampLogViewer.h"

#include <commctrl.h>
#include <commdlg.h>

#include <string>
#include <vector>

#include "Dialog.h"
#include "FileSave.h"
#include "StampLog.h"
#include "StampLogFiles.h"
#include "StampRecorder.h"
#include "Text.h"
#include "UniqueHandle.h"
#include "resource.h"

namespace {

struct Column {
  const wchar_t* title;
  int width;  // in dialog units, so the columns scale with the dialog's font
};

constexpr Column kColumns[] = {{L"日時", 84},       {L"印", 40},          {L"印面", 56},
                               {L"操作", 50},       {L"押印先ウィンドウ", 98}, {L"押印先プログラム", 80},
                               {L"ユーザー", 42},   {L"コンピューター", 64},   {L"大きさ(mm)", 52}};

std::wstring FileNamePart(const std::string& path) {
  const std::wstring wide = WideFromUtf8(path);
  const std::size_t slash = wide.find_last_of(L"\\/");
  return slash == std::wstring::npos ? wide : wide.substr(slash + 1);
}

// The cells of a record as the list shows them.
std::vector<std::wstring> Cells(const StampLogRecord& r) {
  std::wstring time = WideFromUtf8(r.time.substr(0, 19));
  if (time.size() > 10) time[10] = L' ';
  return {time,
          WideFromUtf8(SealName(r.seal)),
          WideFromUtf8(r.text),
          WideFromUtf8(TriggerName(r.trigger)),
          WideFromUtf8(r.window),
          FileNamePart(r.exe),
          WideFromUtf8(r.user),
          WideFromUtf8(r.computer),
          WideFromUtf8(r.mm)};
}

class StampLogViewer : public ModalDialog {
 protected:
  void OnInitDialog() override;
  bool OnCommand(int id, int code) override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;

 private:
  void PrepareList() const;
  void Load();
  StampLogFilter Filter() const;
  std::string PickedDate(int id) const;
  void ShowStamps();
  void ShowStatus(const std::wstring& text) const { SetItemText(IDC_STAMPLOG_STATUS, text); }
  void SaveCsv();
  void Verify();
  void SelectRecord(const std::string& file, std::size_t number) const;

  std::vector<LoggedStamp> stamps_;  // oldest first
  std::vector<std::size_t> shown_;   // indices into stamps_, newest first
  ChainReport readFailure_;
};

void StampLogViewer::OnInitDialog() {
  PrepareList();
  for (int id : {IDC_STAMPLOG_FROM, IDC_STAMPLOG_TO}) DateTime_SetSystemtime(Item(id), GDT_NONE, nullptr);
  Load();
  ShowStamps();
}

void StampLogViewer::PrepareList() const {
  HWND list = Item(IDC_STAMPLOG_LIST);
  ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
  for (std::size_t i = 0; i < std::size(kColumns); ++i) {
    RECT units{0, 0, kColumns[i].width, 0};
    MapDialogRect(hwnd_, &units);
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = const_cast<wchar_t*>(kColumns[i].title);
    column.cx = units.right;
    ListView_InsertColumn(list, static_cast<int>(i), &column);
  }
}

void StampLogViewer::Load() {
  StampLogContent content = ReadStampLog(StampLogFolder());
  readFailure_ = content.failure;
  stamps_ = ReadStamps(content.files);
}

std::string StampLogViewer::PickedDate(int id) const {
  SYSTEMTIME day{};
  if (DateTime_GetSystemtime(Item(id), &day) != GDT_VALID) return {};
  return FilterDate(std::to_string(day.wYear) + "-" + std::to_string(day.wMonth) + "-" + std::to_string(day.wDay))
      .value_or(std::string());
}

StampLogFilter StampLogViewer::Filter() const {
  return {PickedDate(IDC_STAMPLOG_FROM), PickedDate(IDC_STAMPLOG_TO), Utf8FromWide(ItemText(IDC_STAMPLOG_TEXT))};
}

void StampLogViewer::ShowStamps() {
  const StampLogFilter filter = Filter();
  shown_.clear();
  for (std::size_t i = stamps_.size(); i-- > 0;)
    if (Matches(stamps_[i].record, filter)) shown_.push_back(i);

  HWND list = Item(IDC_STAMPLOG_LIST);
  SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  ListView_DeleteAllItems(list);
  for (std::size_t row = 0; row < shown_.size(); ++row) {
    std::vector<std::wstring> cells = Cells(stamps_[shown_[row]].record);
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = static_cast<int>(row);
    item.pszText = cells[0].data();
    ListView_InsertItem(list, &item);
    for (std::size_t column = 1; column < cells.size(); ++column)
      ListView_SetItemText(list, static_cast<int>(row), static_cast<int>(column), cells[column].data());
  }
  SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list, nullptr, TRUE);

  if (readFailure_.status == ChainStatus::kUnreadable)
    ShowStatus(WideFromUtf8(ReportText(readFailure_)));
  else if (stamps_.empty())
    ShowStatus(StampLogWanted() ? L"押印履歴はまだありません。"
                              : L"押印履歴はありません（オプション設定の「セキュリティ」で記録を始められます）。");
  else
    ShowStatus(std::to_wstring(shown_.size()) + L" 件を表示（全 " + std::to_wstring(stamps_.size()) + L" 件）");
}

void StampLogViewer::SaveCsv() {
  wchar_t path[MAX_PATH] = L"押印履歴.csv";
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = hwnd_;
  dialog.lpstrFilter = L"CSV ファイル (*.csv)\0*.csv\0すべてのファイル (*.*)\0*.*\0";
  dialog.lpstrFile = path;
  dialog.nMaxFile = MAX_PATH;
  dialog.lpstrTitle = L"押印履歴をCSVに保存";
  dialog.lpstrDefExt = L"csv";
  dialog.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR;
  if (!GetSaveFileNameW(&dialog)) return;
  // The records the list shows, oldest first as the log keeps them.
  std::vector<LoggedStamp> chosen;
  for (auto index = shown_.rbegin(); index != shown_.rend(); ++index) chosen.push_back(stamps_[*index]);
  const std::string csv = StampLogCsv(chosen);
  const DWORD error = SaveWholeFile(path, csv);
  if (error != ERROR_SUCCESS) {
    ReportSaveFailure(hwnd_, path, error);
    return;
  }
  ShowStatus(std::to_wstring(chosen.size()) + L" 件を保存しました: " + path);
}

void StampLogViewer::Verify() {
  // The files as they are now, not as they were when the viewer opened.
  const StampLogContent content = ReadStampLog(StampLogFolder());
  const ChainReport report = content.failure.status == ChainStatus::kUnreadable
                                 ? content.failure
                                 : VerifyChain(content.files, ChainFrom::kLogStart);
  const std::wstring text = WideFromUtf8(ReportText(report));
  ShowStatus(text);
  if (report.status == ChainStatus::kBroken) SelectRecord(report.file, report.record);
  MessageBoxW(hwnd_, text.c_str(), L"Varnel印鑑",
              MB_OK | (report.status == ChainStatus::kIntact ? MB_ICONINFORMATION : MB_ICONWARNING));
}

void StampLogViewer::SelectRecord(const std::string& file, std::size_t number) const {
  HWND list = Item(IDC_STAMPLOG_LIST);
  for (std::size_t row = 0; row < shown_.size(); ++row) {
    const LoggedStamp& stamp = stamps_[shown_[row]];
    if (stamp.file != file || stamp.number != number) continue;
    ListView_SetItemState(list, static_cast<int>(row), LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_EnsureVisible(list, static_cast<int>(row), FALSE);
    return;
  }
}

bool StampLogViewer::OnCommand(int id, int code) {
  switch (id) {
    case IDCANCEL: End(IDCANCEL); return true;
    case IDC_STAMPLOG_TEXT:
      if (code == EN_CHANGE) ShowStamps();
      return true;
    case IDC_STAMPLOG_CSV:
      if (code == BN_CLICKED) SaveCsv();
      return true;
    case IDC_STAMPLOG_VERIFY:
      if (code == BN_CLICKED) Verify();
      return true;
  }
  return false;
}

bool StampLogViewer::OnMessage(UINT message, WPARAM, LPARAM lParam, INT_PTR&) {
  if (message != WM_NOTIFY) return false;
  const auto* header = reinterpret_cast<const NMHDR*>(lParam);
  if (header->code != DTN_DATETIMECHANGE) return false;
  ShowStamps();
  return true;
}

}  // namespace

void RunStampLogViewer(HWND owner) {
  const INITCOMMONCONTROLSEX classes{sizeof classes, ICC_LISTVIEW_CLASSES | ICC_DATE_CLASSES};
  InitCommonControlsEx(&classes);
  StampLogViewer viewer;
  viewer.Run(IDD_STAMPLOG, owner);
}
