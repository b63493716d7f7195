#include "ErrorDisplay.h"

#include <exception>
#include <new>
#include <string>

#include "Text.h"

namespace {

std::wstring CurrentExceptionText() {
  try {
    throw;
  } catch (const std::bad_alloc&) {
    return L"メモリが不足しています。";
  } catch (const std::exception& e) {
    const std::wstring text = WideShowingInvalid(e.what());
    return text.empty() ? L"予期しないエラーが発生しました。" : text;
  } catch (...) {
    return L"予期しないエラーが発生しました。";
  }
}

}  // namespace

void ShowCurrentException(HWND owner) noexcept {
  // A failure while one is shown (a repaint behind the box, say) is not
  // shown again on top of it.
  static bool showing = false;
  if (showing) return;
  showing = true;
  try {
    const std::wstring text = CurrentExceptionText();
    MessageBoxW(owner && IsWindow(owner) ? owner : nullptr, text.c_str(), L"Varnel印鑑", MB_OK | MB_ICONERROR);
  } catch (...) {
    MessageBoxW(nullptr, L"メモリが不足しています。", L"Varnel印鑑", MB_OK | MB_ICONERROR);
  }
  showing = false;
}
