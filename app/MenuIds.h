#pragma once
// Command identifiers of the stamp pad's menu and the tray's pop-up menu,
// so tests can pick items by ID.

// Stamp pad menu (MainMenu1).
#define IDM_N2 2001           // 認印を押印
#define IDM_N1 2002           // 日付印を押印
#define IDM_B1 2003           // ビットマップ印を押印
#define IDM_S1 2004           // 認印・日付印の編集
#define IDM_BITMAPEDIT 2005   // ビットマップ印の編集
#define IDM_ERASESTAMP 2006   // ビットマップ印を消去
#define IDM_G1 2007           // グラフィックスクリプトエディタ
#define IDM_MNAMEEXP 2008     // 認印画像をファイル化
#define IDM_MDATEEXP 2009     // 日付印画像をファイル化
#define IDM_OPTION1 2010      // オプション設定
#define IDM_MHELP 2011        // Varnel印鑑ヘルプ
#define IDM_N4 2012           // バージョン情報
#define IDM_CU 2013           // ユーザー切替
#define IDM_ALLEXIT 2014      // Varnel印鑑を終了
#define IDM_SIMPLESTAMP 2015  // 角印ツールバー表示ON/OFF
#define IDM_EXIT2 2016        // このスタンプ台を閉じる
#define IDM_PDFSTAMP 2017     // PDFに押印…
#define IDM_STAMPLOG 2018     // 押印履歴…

// Tray pop-up menu (PopupMenu1).
#define IDM_TRAY_EXIT 3001
#define IDM_TRAY_CREDIT 3002
#define IDM_TRAY_HELP 3003
#define IDM_TRAY_CU 3004
#define IDM_TRAY_OPTION 3005
#define IDM_TRAY_ERASESTAMP 3006
#define IDM_TRAY_BITMAPEDIT 3007
#define IDM_TRAY_IMAGEEDIT 3008
#define IDM_TRAY_N5 3009
#define IDM_TRAY_OTHERSTAMP 3010
#define IDM_TRAY_MDATEEXP 3011
#define IDM_TRAY_MNAMEEXP 3012
#define IDM_TRAY_DATESTAMP 3013
#define IDM_TRAY_NAMESTAMP 3014
#define IDM_TRAY_SIMPLESTAMP 3015
#define IDM_TRAY_N4 3016
#define IDM_TRAY_PDFSTAMP 3017
#define IDM_TRAY_STAMPLOG 3018

// The three previews of the stamp pad (child window IDs).
#define IDC_IMAGE1 2101
#define IDC_IMAGE2 2102
#define IDC_IMAGE3 2103
