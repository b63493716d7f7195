// Resource identifiers of the dialog "PDFに押印"; "押印" is IDOK, "キャンセル" IDCANCEL.
#pragma once

#define IDD_PDF_STAMP 7300
#define IDC_PDF_FILE 7301          // the PDF's path (typed, chosen or dropped)
#define IDC_PDF_BROWSE 7302        // the open dialog
#define IDC_PDF_FACTS 7303         // its pages and the page's size as shown, or why it cannot be stamped
#define IDC_PDF_PAGE_FIRST 7304
#define IDC_PDF_PAGE_LAST 7305
#define IDC_PDF_PAGE_NUMBER 7306
#define IDC_PDF_PAGE_EDIT 7307
#define IDC_PDF_SEAL 7308          // name, date, bitmap seal, the toolbar's slots
#define IDC_PDF_AT_CORNER 7309
#define IDC_PDF_CORNER 7310        // top-left, top-right, bottom-left, bottom-right
#define IDC_PDF_MARGIN 7311        // millimetres from both edges of the corner
#define IDC_PDF_AT_POINT 7312
#define IDC_PDF_X 7313             // millimetres from the shown page's left edge
#define IDC_PDF_Y 7314             // millimetres from the shown page's top edge
#define IDC_PDF_COPY 7315          // write "…_押印.pdf" beside the PDF
#define IDC_PDF_IN_PLACE 7316      // append to the PDF itself
#define IDC_PDF_FLATTEN 7317       // draw into the page instead of an annotation
