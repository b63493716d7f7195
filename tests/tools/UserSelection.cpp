// Stand-in for the user-selection program that lives outside Varnel: a
// hidden window titled "Varnel印鑑ユーザー選択" that appends the first
// parameter of every WM_USER it receives to the file named on its command
// line (one decimal number and CRLF a line), and ends on WM_CLOSE.
// Usage: user_selection.exe [record file]

#include <windows.h>

#include <stdlib.h>

#include <string>
#include <utility>

namespace {

constexpr wchar_t kClassName[] = L"VarnelUserSelectionStandIn";
constexpr wchar_t kTitle[] = L"Varnel印鑑ユーザー選択";

class UserSelectionWindow {
 public:
  explicit UserSelectionWindow(std::wstring recordFile) : recordFile_(std::move(recordFile)) {}

  bool Create(HINSTANCE instance) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kClassName;
    if (!RegisterClassExW(&windowClass)) return false;
    return CreateWindowExW(0, kClassName, kTitle, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 300,
                           100, nullptr, nullptr, instance, this) != nullptr;
  }

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
      auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<UserSelectionWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    switch (message) {
      case WM_USER:
        if (self) self->Record(wParam);
        return 0;
      case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
      default:
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
  }

  // Opened and closed for each line, so a reader sees it at once and the
  // file is never held open.
  void Record(WPARAM code) const {
    if (recordFile_.empty()) return;
    HANDLE file = CreateFileW(recordFile_.c_str(), FILE_APPEND_DATA,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    char line[32];
    const int length = wsprintfA(line, "%lu\r\n", static_cast<unsigned long>(code));
    DWORD written = 0;
    WriteFile(file, line, static_cast<DWORD>(length), &written, nullptr);
    CloseHandle(file);
  }

  std::wstring recordFile_;
};

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  UserSelectionWindow window(__argc > 1 ? __wargv[1] : L"");
  if (!window.Create(instance)) return 1;
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
  return 0;
}
