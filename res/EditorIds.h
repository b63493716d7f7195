// Resource identifiers of the seal editor and the options dialog (5000-6999).
// Control IDs are unique across each dialog and its pages; a choice's radio
// buttons have consecutive IDs in the order of its choices.
#pragma once

// The seal editor and its four pages.
#define IDD_EDITOR 5000
#define IDD_EDITOR_PAGE_NAME 5001
#define IDD_EDITOR_PAGE_NAMETEXT 5002
#define IDD_EDITOR_PAGE_DATE 5003
#define IDD_EDITOR_PAGE_DATETEXT 5004
#define IDC_EDITOR_TABS 5010
#define IDC_EDITOR_FINISH 5011          // "印影の編集終了"
#define IDC_EDITOR_PREVIEW_PANEL 5012   // "印影イメージ"
#define IDC_EDITOR_PREVIEW 5013         // the 321 x 357 picture
#define IDC_EDITOR_PREVIEW_BUTTON 5014  // "印影プレビュー", hidden

// Page "ネーム印（全体）".
#define IDC_NAME_SIZE_XL 5022  // 特大, 大, 中, 小: 5022..5025
#define IDC_NAME_SIZE_L 5023
#define IDC_NAME_SIZE_M 5024
#define IDC_NAME_SIZE_S 5025
#define IDC_NAME_SIZE_EDIT 5026
#define IDC_NAME_SIZE 5027  // up-down
#define IDC_NAME_SIZE_MM 5028
#define IDC_NAME_RESOLUTION 5030  // 2 choices
#define IDC_NAME_COLOR 5033       // 赤, 黒, 青, 他
#define IDC_NAME_COLOR_OTHER 5036
#define IDC_NAME_COLOR_BUTTON 5037
#define IDC_NAME_LINE 5039   // 太4, 太3, 太2, 太1, 中, 細
#define IDC_NAME_SHAPE 5046  // 真円, 楕円(80%), 楕円(60%), 正方形

// Page "ネーム印（文字部分）".
#define IDC_NAME_TEXT1 5060  // Text1..Text4: 5060..5063
#define IDC_NAME_FONT 5064
#define IDC_NAME_FONTSIZE_EDIT 5065
#define IDC_NAME_FONTSIZE 5066
#define IDC_NAME_OFFSETY 5067
#define IDC_NAME_OFFSETX 5068
#define IDC_NAME_TEXTSPACE 5069
#define IDC_NAME_USEEX 5070
#define IDC_NAME_EXTEXT1 5071  // ExText1..ExText4: 5071..5074
#define IDC_NAME_EXFONT 5075
#define IDC_NAME_EXFONTSIZE_EDIT 5076
#define IDC_NAME_EXFONTSIZE 5077
#define IDC_NAME_EXOFFSETY 5078
#define IDC_NAME_EXOFFSETX 5079
#define IDC_NAME_EXTEXTSPACE 5080

// Page "デート印（全体・日付）".
#define IDC_DATE_SIZE_XL 5102  // 特大, 大, 中, 小: 5102..5105
#define IDC_DATE_SIZE_L 5103
#define IDC_DATE_SIZE_M 5104
#define IDC_DATE_SIZE_S 5105
#define IDC_DATE_SIZE_EDIT 5106
#define IDC_DATE_SIZE 5107
#define IDC_DATE_SIZE_MM 5108
#define IDC_DATE_COLOR 5110  // 赤, 黒, 青, 他
#define IDC_DATE_COLOR_OTHER 5113
#define IDC_DATE_COLOR_BUTTON 5114
#define IDC_DATE_LINE 5116   // 6 choices
#define IDC_DATE_RING 5123   // １重, ２重Ａ, ２重Ｂ, 太枠
#define IDC_DATE_YEARS 5128  // 西暦２桁, 和暦, 西暦４桁
#define IDC_DATE_SPACEM 5131
#define IDC_DATE_FONTM 5132
#define IDC_DATE_FONTSIZEM_EDIT 5133
#define IDC_DATE_FONTSIZEM 5134
#define IDC_DATE_HEADER 5135
#define IDC_DATE_DATENZ 5136

// Page "デート印（上下文字部分）".
#define IDC_DATE_TEXT1 5150
#define IDC_DATE_TEXT3 5151
#define IDC_DATE_FONTU 5152
#define IDC_DATE_FONTSIZEU_EDIT 5153
#define IDC_DATE_FONTSIZEU 5154
#define IDC_DATE_UT2SPACE 5155
#define IDC_DATE_POSITIONU 5156
#define IDC_DATE_TEXT2 5157
#define IDC_DATE_TEXT4 5158
#define IDC_DATE_FONTL 5159
#define IDC_DATE_FONTSIZEL_EDIT 5160
#define IDC_DATE_FONTSIZEL 5161
#define IDC_DATE_LT2FONTSIZE 5162
#define IDC_DATE_LT2SPACE 5163
#define IDC_DATE_TEXT5 5164
#define IDC_DATE_LT3SPACE 5165
#define IDC_DATE_POSITIONL 5166

// The options dialog and its ten pages.
#define IDD_OPTIONS 5500
#define IDD_OPTIONS_PAGE_OUTPUT 5501
#define IDD_OPTIONS_PAGE_DISPLAY 5502
#define IDD_OPTIONS_PAGE_TOOLBAR 5503
#define IDD_OPTIONS_PAGE_BEHAVIOUR 5504
#define IDD_OPTIONS_PAGE_SECURITY 5505
#define IDD_OPTIONS_PAGE_GUARD 5506
#define IDD_OPTIONS_PAGE_CORRECTION 5507
#define IDD_OPTIONS_PAGE_ROTATION 5508
#define IDD_OPTIONS_PAGE_TRAY 5509
#define IDD_OPTIONS_PAGE_ERAS 5510
#define IDC_OPTIONS_TABS 5511
#define IDC_OPTIONS_FINISH 5512  // "設定終了"

#define IDC_OPT_CLIPBOARDFORMAT 5520  // 3 choices
#define IDC_OPT_DOCUMENTFILTER 5523   // 3
#define IDC_OPT_COLORBITS 5526        // 3
#define IDC_OPT_GENMETAFILE 5529      // 2
#define IDC_OPT_FOCUSGET 5531         // 3
#define IDC_OPT_SHOWMESSAGE 5534      // 2
#define IDC_OPT_HIDEMENU 5536         // 2
#define IDC_OPT_SHOWEXBAR 5538        // 3
#define IDC_OPT_MAINTOOLBAR 5541      // 2
#define IDC_OPT_CHECKDATE 5543        // 2
#define IDC_OPT_EDITORLOCK 5545       // 2
#define IDC_OPT_CLIPBRDCLEAR 5547     // 3
#define IDC_OPT_PASSWORDCHECK 5550    // 2
#define IDC_OPT_PASSWORDONSTAMP 5552  // 2
#define IDC_OPT_PASSWORD1 5554
#define IDC_OPT_PASSWORD2 5555
#define IDC_OPT_COPYGUARD 5556  // 2
#define IDC_OPT_BACKIMAGE 5558  // 4
#define IDC_OPT_KEY_GROUP 5562
#define IDC_OPT_KEY1 5563
#define IDC_OPT_KEY2 5564
#define IDC_OPT_KEY_LABEL 5565
#define IDC_OPT_KEY_NOTE 5566
#define IDC_OPT_NODISPTITLE 5567  // 2
#define IDC_OPT_SECTEXT_SWATCH 5569
#define IDC_OPT_SECTEXT_BUTTON 5570
#define IDC_OPT_SECLINE_SWATCH 5571
#define IDC_OPT_SECLINE_BUTTON 5572
#define IDC_OPT_BACKIMAGE_GROUP 5573
#define IDC_OPT_REZOHOSEI 5574
#define IDC_OPT_REZOHOSEI_TEXT 5575
#define IDC_OPT_REZOHOSEI_RESET 5576
#define IDC_OPT_ROTATE 5577  // 3
#define IDC_OPT_ROTATEANGLE 5580
#define IDC_OPT_ROTATESZ 5581      // 2
#define IDC_OPT_DOUBLECLICK 5583   // 4
#define IDC_OPT_STAYONTRAY 5587    // 2
#define IDC_OPT_TERMINATE 5589     // 3
#define IDC_OPT_ERANAME1 5592      // WarekiName1..5: 5592..5596
#define IDC_OPT_ERADATE1 5597      // WarekiDate1..5: 5597..5601
#define IDC_OPT_CLIPBOARDPNG 5602  // check box: a transparent PNG as well
#define IDC_OPT_STAMPLOG 5603      // check box: keep the stamp log
#define IDC_OPT_STAMPLOG_NOTE 5604 // what the log holds, or that the administrator keeps it on
#define IDC_OPT_INKEFFECT 5610     // 4: hand-pressed ink off, light, medium, strong
#define IDC_OPT_INKTILT 5614       // check box: a small tilt at each stamp
