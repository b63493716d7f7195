#include "Rotformat.h"

#include <commctrl.h>

#include <algorithm>

#include "SimpleStampSettings.h"
#include "TextStamps.h"
#include "resource.h"

void TRotFmt::OnInitDialog() {
  TextFormatDialog::OnInitDialog();
  HWND track = Item(IDC_FMT_ANGLE);
  SendMessageW(track, TBM_SETRANGEMIN, FALSE, kAngleMin);
  SendMessageW(track, TBM_SETRANGEMAX, FALSE, kAngleMax);
  SendMessageW(track, TBM_SETPAGESIZE, 0, 15);
  SendMessageW(track, TBM_SETPOS, TRUE, std::clamp(values_.Angle, kAngleMin, kAngleMax));
  values_.Angle = static_cast<int>(SendMessageW(track, TBM_GETPOS, 0, 0));
  ShowAngle();
  Preview();
}

void TRotFmt::ShowAngle() { SetItemText(IDC_FMT_ANGLE_VALUE, std::to_wstring(values_.Angle) + L"°"); }

void TRotFmt::TrackBar1Change() {
  values_.Angle = static_cast<int>(SendMessageW(Item(IDC_FMT_ANGLE), TBM_GETPOS, 0, 0));
  ShowAngle();
  Preview();
}

void TRotFmt::DrawPreview(GdiWorkImage& image) { DrawRotatedText(image, previewText_, DialogFont(), values_.Angle); }

bool EditRotatedFormat(HWND owner, TextFormatValues& values, const TextFormatValues& defaults,
                       std::string_view previewText) {
  TRotFmt dialog(values, defaults, previewText);
  return dialog.Edit(IDD_ROTFMT, owner, values);
}
