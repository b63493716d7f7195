// The stand-in for the outside user-selection program that the program's
// exit tests post to: it must be found by its title and record each post.

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "harness/HostPath.h"
#include "harness/Process.h"

namespace {

class RecordFile {
 public:
  RecordFile() {
    wchar_t folder[MAX_PATH];
    wchar_t name[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    GetTempFileNameW(folder, L"usl", 0, name);
    path_ = name;
  }
  ~RecordFile() { DeleteFileW(path_.c_str()); }
  const std::wstring& Path() const { return path_; }

  std::string Contents() const {
    std::string contents;
    HANDLE file = CreateFileW(path_.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return contents;
    char buffer[256];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) contents.append(buffer, read);
    CloseHandle(file);
    return contents;
  }

 private:
  std::wstring path_;
};

TEST(UserSelectionStandIn, RecordsEveryPostedCodeAndEndsOnClose) {
  RecordFile record;
  harness::RunningProgram program(harness::HostPath(VARNEL_USER_SELECTION_UNIX), L"\"" + record.Path() + L"\"");
  HWND window = harness::WaitForWindow(L"Varnel印鑑ユーザー選択", 10000);
  ASSERT_NE(window, nullptr);
  PostMessageW(window, WM_USER, 2, 0);
  PostMessageW(window, WM_USER, 1, 0);
  PostMessageW(window, WM_USER + 1, 9, 0);
  PostMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(program.WaitForExit(10000), 0u);
  EXPECT_EQ(record.Contents(), "2\r\n1\r\n") << "WM_USER only, in posting order";
  EXPECT_TRUE(harness::WaitForWindowGone(L"Varnel印鑑ユーザー選択", 1000));
}

}  // namespace
