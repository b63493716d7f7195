// Resource identifiers of the graphic script editor and its builder (8000-8999).
#pragma once

// The editor TScrEditForm.
#define IDD_SCRIPT_EDITOR 8000
#define IDC_SCREDIT_MEMO1 8001
#define IDC_SCREDIT_SCROLLBOX 8002  // the preview area
#define IDC_SCREDIT_IMAGE 8003      // the preview picture inside it
// The picture buttons, numbered as their handlers SpeedButton1Click ... 8.
#define IDC_SCREDIT_SPEEDBUTTON1 8011  // ファイルを開く
#define IDC_SCREDIT_SPEEDBUTTON2 8012  // 保存
#define IDC_SCREDIT_SPEEDBUTTON3 8013  // ＧＵＩパネルツール (hidden)
#define IDC_SCREDIT_SPEEDBUTTON4 8014  // 新規作成
#define IDC_SCREDIT_SPEEDBUTTON5 8015  // 編集終了
#define IDC_SCREDIT_SPEEDBUTTON6 8016  // 表示更新
#define IDC_SCREDIT_SPEEDBUTTON7 8017  // コピー
#define IDC_SCREDIT_SPEEDBUTTON8 8018  // 貼付

// The builder TGUIForm and its seven pages.
#define IDD_SCRIPT_BUILDER 8100
#define IDC_GUI_HINT 8101
#define IDC_GUI_TABS 8102
#define IDC_GUI_BUTTON1 8103  // 追加
#define IDC_GUI_BUTTON2 8104  // プレビュー (hidden)
#define IDC_GUI_BUTTON3 8105  // 閉じる (hidden)
#define IDD_GUI_HEADER 8110
#define IDD_GUI_CIRCLE 8111
#define IDD_GUI_RECTANGLE 8112
#define IDD_GUI_ROUNDRECT 8113
#define IDD_GUI_LINE 8114
#define IDD_GUI_TEXT 8115
#define IDD_GUI_DATE 8116
// Edit1 ... Edit32 are 8200 + n, their up-down controls 8300 + n.
#define IDC_GUI_EDIT(n) (8200 + (n))
#define IDC_GUI_UPDOWN(n) (8300 + (n))
// The colour swatches StaticText1 ... 6 and the buttons SpeedButton1 ... 8.
#define IDC_GUI_STATICTEXT(n) (8400 + (n))
#define IDC_GUI_SPEEDBUTTON(n) (8410 + (n))
// RadioGroup1 "日付書式": its frame and its three choices.
#define IDC_GUI_RADIOGROUP1 8420
#define IDC_GUI_RADIO_WESTERN2 8421  // 西暦２桁
#define IDC_GUI_RADIO_ERA 8422       // 和暦
#define IDC_GUI_RADIO_WESTERN4 8423  // 西暦４桁
