#pragma once
// The outcome of stamping a seal on a PDF page. The numbers travel between
// programs (the answer to a control request, vrnctl's exit code): they never
// change meaning.

enum class PdfStampResult : int {
  Stamped = 0,
  NotRunning = 1,      // no Varnel to send the request to (client side)
  Usage = 2,           // the request's words are wrong (client side)
  Busy = 3,            // Varnel is stamping or shows a dialog
  CannotOpen = 10,     // the PDF cannot be opened or read
  NotPdf = 11,
  Encrypted = 12,
  BrokenXref = 13,     // needs a repair first
  Unsupported = 14,    // a part stamping cannot read (a filter, a size)
  PageOutOfRange = 15,
  AnnotationsNotAllowed = 16,  // certified: no annotations allowed
  ChangesNotAllowed = 17,      // certified or signed: drawing into the page would change signed content
  OutsidePage = 18,            // the seal would not lie wholly on the page
  OutputExists = 19,           // the copy's name exists and replacing was not asked for
  CannotWrite = 20,
  NoSeal = 21,                 // no such seal (no bitmap seal, an empty slot) or an empty drawing
  Cancelled = 22,              // the user cancelled (password, dialog)
  BadRequest = 23,             // a request that cannot be read
  NoAnswer = 24,               // Varnel did not answer in time
  NotAllowed = 25,             // the administrator's policy allows no seals saved to files
};
