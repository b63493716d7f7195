// Resource identifiers of the stamp log viewer.
#pragma once

// "閉じる" is IDCANCEL (Esc).
#define IDD_STAMPLOG 9000
#define IDC_STAMPLOG_FROM 9001    // date picker: the first day shown, or none
#define IDC_STAMPLOG_TO 9002      // date picker: the last day shown, or none
#define IDC_STAMPLOG_TEXT 9003    // text looked for in every column
#define IDC_STAMPLOG_LIST 9004    // the records, newest first
#define IDC_STAMPLOG_STATUS 9005  // how many records are shown, or the last check
#define IDC_STAMPLOG_CSV 9006     // "CSV に保存": the records shown, as CSV
#define IDC_STAMPLOG_VERIFY 9007  // "検証": checks the chain
