// Resource identifiers, grouped by dialog.
#pragma once

// The date-change dialog.
#define IDD_DATE_CHANGE 600
#define IDC_DATE_LABEL 601
#define IDC_DATE_EDIT1 602
#define IDC_DATE_BUTTON2 603  // "<": a day back
#define IDC_DATE_BUTTON3 604  // ">": a day forward

// The password prompt; its buttons are IDOK and IDCANCEL.
#define IDD_PASSWORD 1000
#define IDC_PASSWORD_LABEL 1001
#define IDC_PASSWORD_EDIT1 1002

// The document-ID prompt; its buttons are IDOK and IDCANCEL.
#define IDD_DOCID 1010
#define IDC_DOCID_LABEL 1011
#define IDC_DOCID_DID 1012

// The background patterns under a guarded seal (BackImage 1, 2, 3).
#define IDB_SHITAJI 1100
#define IDB_SHITAJI2 1101
#define IDB_SHITAJI3 1102
