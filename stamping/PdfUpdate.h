#pragma once
// The incremental update that puts a seal on a PDF page: new objects and a
// new cross-reference section (of the file's own kind, with /Prev) to be
// appended to the file as it is. The file's own bytes never change, so
// existing signatures still verify.

#include <string>

#include "PdfAppearance.h"
#include "PdfPlacement.h"
#include "PdfStampResult.h"
#include "RandomAccessFile.h"

struct PdfPageChoice {
  enum class Kind { First, Last, Number } kind = Kind::Last;
  int number = 0;  // from 1, for Number
};
// The chosen page's index from 0 in a document of count pages (out of range
// when there is no such page).
int PageIndex(const PdfPageChoice& choice, int count);

struct PdfStampSpec {
  PdfPageChoice page;
  PdfSealPosition position;
  // Draws the seal into the page's content instead of adding a stamp
  // annotation.
  bool flatten = false;
  std::string annotationName;  // /NM, unique per stamp
  std::string date;            // /M, a PDF date: "D:20261208141203+09'00'"
};

struct PdfUpdate {
  PdfStampResult result = PdfStampResult::Unsupported;
  std::string appended;  // what goes after the file's last byte
  int pageNumber = 0;    // the page stamped, from 1
  int pageCount = 0;
  PdfPlacement placement;
};

PdfUpdate MakePdfUpdate(RandomAccessFile& file, const PdfStampSpec& spec, const PdfAppearance& appearance);

// A PDF date from local time and its offset from UTC in minutes.
std::string PdfDate(int year, int month, int day, int hour, int minute, int second, int utcOffsetMinutes);

// What the reader's refusal means to the one who asked for the stamp.
PdfStampResult ResultOfRead(PdfReadStatus status);
