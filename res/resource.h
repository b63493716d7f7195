// Resource identifiers, grouped by dialog.
#pragma once

// The application icon: the lowest icon ID, so Windows shows it for the program file.
#define IDI_VARNEL 1

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

// The information message after a stamp; its button is IDOK.
#define IDD_MESSAGE 1020
#define IDC_MESSAGE_LINE1 1021  // the seven lines of text: 1021..1027
#define IDC_MESSAGE_LINE2 1022
#define IDC_MESSAGE_LINE3 1023
#define IDC_MESSAGE_LINE4 1024
#define IDC_MESSAGE_LINE5 1025
#define IDC_MESSAGE_LINE6 1026
#define IDC_MESSAGE_LINE7 1027
#define IDC_MESSAGE_CHECKBOX1 1031  // display-only: the formats on the clipboard
#define IDC_MESSAGE_CHECKBOX2 1032
#define IDC_MESSAGE_CHECKBOX3 1033
#define IDC_MESSAGE_CHECKBOX4 1034
#define IDC_MESSAGE_NONDISP 1035  // "don't show this message again"
#define IDC_MESSAGE_CHECKBOX5 1036  // display-only: the PNG
#define IDC_MESSAGE_LOGNOTE 1037    // the stamp log could not keep the record (shown only then)

// The background patterns under a guarded seal (BackImage 1, 2, 3).
#define IDB_SHITAJI 1100
#define IDB_SHITAJI2 1101
#define IDB_SHITAJI3 1102

// The version dialog.
#define IDD_ABOUT 700
#define IDC_ABOUT_PRODUCT 701
#define IDC_ABOUT_VERSION 702
#define IDC_ABOUT_MUTEX 703

#include "EditorIds.h"
#include "ScriptEditorIds.h"
#include "CutterIds.h"
#include "SquareStampIds.h"
#include "PdfStampIds.h"
#include "StampLogIds.h"
