#include "RecordingWindow.h"

#include <stdexcept>

namespace harness {

namespace {

constexpr wchar_t kClassName[] = L"VarnelTestRecordingWindow";

void RegisterWindowClass(WNDPROC procedure) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = kClassName;
  if (!RegisterClassExW(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
    throw std::runtime_error("cannot register the recording window class");
}

class Lock {
 public:
  explicit Lock(CRITICAL_SECTION& section) : section_(section) { EnterCriticalSection(&section_); }
  ~Lock() { LeaveCriticalSection(&section_); }
  Lock(const Lock&) = delete;
  Lock& operator=(const Lock&) = delete;

 private:
  CRITICAL_SECTION& section_;
};

}  // namespace

RecordingWindow::RecordingWindow(const std::wstring& title)
    : title_(title),
      arrived_(CreateEventW(nullptr, FALSE, FALSE, nullptr)),
      created_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
  InitializeCriticalSection(&lock_);
  RegisterWindowClass(WindowProc);
  thread_.reset(CreateThread(nullptr, 0, Run, this, 0, nullptr));
  if (!thread_ || WaitForSingleObject(created_.get(), 5000) != WAIT_OBJECT_0 || !hwnd_) {
    DeleteCriticalSection(&lock_);
    throw std::runtime_error("the recording window did not appear");
  }
}

RecordingWindow::~RecordingWindow() {
  PostMessageW(hwnd_, WM_CLOSE, 0, 0);
  WaitForSingleObject(thread_.get(), 5000);
  DeleteCriticalSection(&lock_);
}

DWORD WINAPI RecordingWindow::Run(void* self) {
  auto* window = static_cast<RecordingWindow*>(self);
  window->hwnd_ = CreateWindowExW(0, kClassName, window->title_.c_str(), WS_OVERLAPPEDWINDOW, 0, 0,
                                  100, 100, nullptr, nullptr, GetModuleHandleW(nullptr), window);
  SetEvent(window->created_.get());
  if (!window->hwnd_) return 1;
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
  return 0;
}

LRESULT CALLBACK RecordingWindow::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* window = reinterpret_cast<RecordingWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  switch (message) {
    case WM_USER:
      if (window) window->Record(wParam, lParam);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

void RecordingWindow::Record(WPARAM wParam, LPARAM lParam) {
  try {
    Lock lock(lock_);
    received_.push_back({wParam, lParam});
  } catch (...) {
    // No exception may leave the window procedure; a lost record fails the test's count.
  }
  SetEvent(arrived_.get());
}

std::vector<PostedMessage> RecordingWindow::Snapshot() {
  Lock lock(lock_);
  return received_;
}

std::vector<PostedMessage> RecordingWindow::WaitForMessages(size_t count, DWORD timeoutMs) {
  const ULONGLONG end = GetTickCount64() + timeoutMs;
  for (;;) {
    std::vector<PostedMessage> received = Snapshot();
    const ULONGLONG now = GetTickCount64();
    if (received.size() >= count || now >= end) return received;
    WaitForSingleObject(arrived_.get(), static_cast<DWORD>(end - now));
  }
}

std::vector<WPARAM> RecordingWindow::WaitForCodes(size_t count, DWORD timeoutMs) {
  std::vector<WPARAM> codes;
  for (const PostedMessage& message : WaitForMessages(count, timeoutMs)) codes.push_back(message.wParam);
  return codes;
}

}  // namespace harness
