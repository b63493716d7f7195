// Resource identifiers of the bitmap seal cutter and its name dialog.
#pragma once

// The cutter; "保存して終了" is IDOK (Enter), "保存せずに終了" IDCANCEL (Esc).
#define IDD_IMGCUT 7000
#define IDC_CUT_PANEL1 7001   // the frame (made by the code, pixel-exact)
#define IDC_CUT_IMAGE1 7002   // the picture inside the frame (a child of the frame)
#define IDC_CUT_BUTTON3 7003  // load a picture file
#define IDC_CUT_BUTTON4 7004  // a larger frame
#define IDC_CUT_BUTTON5 7005  // a smaller frame
#define IDC_CUT_LABEL1 7006
#define IDC_CUT_PANEL2 7007   // the printed width in millimetres
#define IDC_CUT_LABEL2 7008
#define IDC_CUT_RADIOGROUP 7009
#define IDC_CUT_RES260 7010   // 26000 pixels per metre
#define IDC_CUT_RES153 7011   // 15294 pixels per metre

// The name of a new bitmap seal; "ＯＫ" is IDOK, "キャンセル" IDCANCEL.
#define IDD_BMPSAVE 7100
#define IDC_BMPSAVE_TEXT1 7101
#define IDC_BMPSAVE_TEXT2 7102
#define IDC_BMPSAVE_TEXT3 7103
#define IDC_BMPSAVE_EDIT 7104
