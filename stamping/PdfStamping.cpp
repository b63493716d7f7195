#include "PdfStamping.h"

#include "Dib.h"
#include "Docidform.h"
#include "GdiGlyphSource.h"
#include "GdiWorkImage.h"
#include "PdfForm.h"
#include "SealExport.h"
#include "Security.h"
#include "SealOutput.h"
#include "Settings.h"
#include "Sjis.h"
#include "StampRecorder.h"
#include "Text.h"

namespace {

PdfStampOutcome Refused(PdfStampResult result, const PdfStampRequest& request) {
  PdfStampOutcome outcome;
  outcome.result = result;
  PdfMessageFacts facts;
  facts.pdf = request.pdf;
  outcome.message = PdfStampMessage(result, facts);
  return outcome;
}

}  // namespace

PdfStampOutcome StampPdf(StampDesk& desk, HWND owner, const PdfStampRequest& request, const SealOutliner& outline) {
  const StampDesk::BusyScope busy(desk);
  if (!desk.PasswordGate(owner)) return Refused(PdfStampResult::Cancelled, request);
  GdiGlyphSource glyphs;
  const VectorTools tools{glyphs, InkOnTransparent};
  std::optional<SealOutline> seal = outline(request.seal, tools);
  if (!seal || seal->drawing.items.empty()) return Refused(PdfStampResult::NoSeal, request);
  MarkForCopyGuard(seal->drawing, seal->resolution, tools, owner);
  PdfAppearance form = SealPdfAppearance(seal->drawing, seal->resolution);
  form.text = Utf8FromCp932(seal->words);
  form.author = Utf8FromWide(UserName());
  const PdfStampOutcome outcome = StampSealOnPdf(request, form);
  if (outcome.result == PdfStampResult::Stamped && StampLogWanted()) {
    StampLabel label;
    label.seal = seal->seal;
    label.text = seal->words;
    label.resolution = seal->resolution;
    label.widthHundredthsMm = static_cast<int>(DesignedHundredthsOfMm(seal->drawing.width, seal->resolution));
    label.heightHundredthsMm = static_cast<int>(DesignedHundredthsOfMm(seal->drawing.height, seal->resolution));
    label.picture = StampPicture::kFilePdf;
    label.pictureBytes = form.content;
    desk.Record(label, owner);
  }
  return outcome;
}
