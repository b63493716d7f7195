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
