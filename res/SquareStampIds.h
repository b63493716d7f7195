// Resource and control identifiers of the square-stamp toolbar and its two
// text format dialogs (range 4000-4999).
#pragma once

// The toolbar's controls (made by the window itself); slot n (1-10) uses
// base + n - 1.
#define IDC_SS_BUTTON1 4001     // SpeedButton1-10: the stamp buttons
#define IDC_SS_EDITMODE 4011    // SpeedButton11: "印編集" / "編集終了"
#define IDC_SS_COLOR 4012       // SpeedButton12: "角印の色"
#define IDC_SS_FONT 4013        // SpeedButton13: "角印ﾌｫﾝﾄ"
#define IDC_SS_SIZE 4014        // tbSize: the size track bar
#define IDC_SS_SIZE_LABEL 4015  // "角印の大きさ"
#define IDC_SS_EDIT1 4021       // Edit1-10: the slot texts
#define IDC_SS_KIND1 4031       // ComboBox1-10: the slot kinds
#define IDC_SS_FILE1 4041       // File1-10: "印指定"
#define IDC_SS_FILENAME1 4051   // FileName1-10: the slot files

// The square format dialog and the rotated-text format dialog share their
// control identifiers; their buttons are IDOK and IDCANCEL.
#define IDD_SMPFMT 4100
#define IDD_ROTFMT 4101
#define IDC_FMT_OWN 4111          // CheckBox1: "デフォルトの書式を使用しない"
#define IDC_FMT_NAME_LABEL 4112
#define IDC_FMT_NAME 4113         // the font name, sunken
#define IDC_FMT_FONT 4114         // SpeedButton1: "変 更" (font)
#define IDC_FMT_SIZE_LABEL 4115
#define IDC_FMT_SIZE 4116         // the size in points, sunken
#define IDC_FMT_SIZE_DOWN 4117    // SpeedButton2: arrow, size - 4
#define IDC_FMT_SIZE_UP 4118      // SpeedButton3: arrow, size + 4
#define IDC_FMT_COLOR_LABEL 4119
#define IDC_FMT_SWATCH 4120
#define IDC_FMT_COLOR 4121        // SpeedButton4: "変 更" (colour)
#define IDC_FMT_PREVIEW 4122
#define IDC_FMT_ANGLE_LABEL 4123  // TRotFmt only
#define IDC_FMT_ANGLE 4124        // TrackBar1
#define IDC_FMT_ANGLE_VALUE 4125

// The confirmation that a text file slot's file could not be read; its one
// button is IDYES.
#define IDD_SS_UNREADABLE 4200
#define IDC_SS_UNREADABLE_ICON 4201
#define IDC_SS_UNREADABLE_TEXT 4202
