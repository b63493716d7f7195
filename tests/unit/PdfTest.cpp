// The PDF reader and the incremental update, on small files written by hand
// (PdfTestFiles.h). Files of real producers, checked by real PDF tools, are
// in tests/pdf.

#include <gtest/gtest.h>

#include "PdfDocument.h"
#include "PdfTestFiles.h"
#include "PdfRequest.h"
#include "PdfUpdate.h"

namespace {

constexpr TestXref kKinds[] = {TestXref::Table, TestXref::Stream, TestXref::Hybrid};
const char* KindName(TestXref kind) {
  return kind == TestXref::Table ? "table" : kind == TestXref::Stream ? "stream" : "hybrid";
}

// A red rectangle of 2 by 1 inches, with a small picture with alpha inside.
PdfAppearance RedBlock() {
  PdfAppearance a;
  a.width = 144;
  a.height = 72;
  a.content = "1 0 0 rg 0 0 144 72 re f q 20 0 0 20 10 10 cm /Im1 Do Q";
  PdfImage image;
  image.name = "Im1";
  image.width = image.height = 2;
  image.rgb.assign(12, 0x40);
  image.alpha = {0, 255, 255, 0};
  a.images.push_back(image);
  // UTF-8, whatever the narrow literals are compiled to.
  a.text = reinterpret_cast<const char*>(u8"承認 山田");
  a.author = reinterpret_cast<const char*>(u8"山田");
  return a;
}

PdfStampSpec Spec(PdfPageChoice::Kind kind, int number = 0) {
  PdfStampSpec spec;
  spec.page = {kind, number};
  spec.annotationName = "varnel-test-1";
  spec.date = PdfDate(2024, 3, 1, 9, 30, 0, 540);
  return spec;
}

PdfObject Get(PdfDocument& document, const PdfObject* object) {
  PdfObject out;
  EXPECT_TRUE(object);
  if (object) {
    EXPECT_EQ(document.Resolve(*object, out), PdfReadStatus::Ok);
  }
  return out;
}

void ExpectBox(const PdfBox& box, double l, double b, double r, double t) {
  EXPECT_NEAR(box.left, l, 0.01);
  EXPECT_NEAR(box.bottom, b, 0.01);
  EXPECT_NEAR(box.right, r, 0.01);
  EXPECT_NEAR(box.top, t, 0.01);
}

}  // namespace

TEST(PdfReader, PageTreeWithInheritedAttributesInEveryKindOfCrossReference) {
  for (const TestXref kind : kKinds) {
    SCOPED_TRACE(KindName(kind));
    const std::string bytes = FivePages().Build(kind);
    MemoryFile file(bytes);
    PdfDocument document(file);
    ASSERT_EQ(document.Open(), PdfReadStatus::Ok);
    EXPECT_EQ(document.PageCount(), 5);
    EXPECT_EQ(document.UsesXrefStream(), kind == TestXref::Stream);
    struct Expected {
      int index;
      std::int64_t object;
      int rotate;
      double unit;
      PdfBox visible;
    };
    const Expected pages[] = {{0, 3, 90, 1, {0, 0, 595, 842}},     {1, 6, 90, 1, {10, 20, 400, 600}},
                              {3, 8, 180, 2, {10, 20, 300, 200}},  {4, 5, 90, 1, {0, 0, 595, 842}},
                              {2, 7, 90, 1, {10, 20, 400, 600}}};
    for (const Expected& e : pages) {
      SCOPED_TRACE(e.index);
      PdfPage page;
      ASSERT_EQ(document.Page(e.index, page), PdfReadStatus::Ok);
      EXPECT_EQ(page.ref.number, e.object);
      EXPECT_EQ(page.rotate, e.rotate);
      EXPECT_EQ(page.userUnit, e.unit);
      ExpectBox(VisibleBox(page), e.visible.left, e.visible.bottom, e.visible.right, e.visible.top);
      EXPECT_TRUE(page.resources.Is(PdfKind::Dictionary));
    }
    PdfPage page;
    EXPECT_EQ(document.Page(5, page), PdfReadStatus::PageOutOfRange);
  }
}

TEST(PdfReader, RefusesFilesItCannotTrust) {
  const std::string good = FivePages().Build(TestXref::Table);
  const std::size_t xref = good.rfind("xref\n0 ");
  std::string looping = good;  // /Prev back to itself
  looping.insert(looping.rfind(">>\nstartxref"), "/Prev " + std::to_string(xref));
  std::string misplaced = good;  // the first object's entry points at the second
  const std::size_t entry = misplaced.find("n\r\n", xref) - 17;
  misplaced.replace(entry, 10, misplaced.substr(entry + 20, 10));
  struct Case {
    const char* name;
    std::string bytes;
    PdfReadStatus status;
  };
  const Case cases[] = {
      {"not a PDF", "GIF89a\x01\x00 startxref 9 %%EOF", PdfReadStatus::NotPdf},
      {"empty", "", PdfReadStatus::NotPdf},
      {"encrypted", FivePages().Build(TestXref::Stream, "/Encrypt<</Filter/Standard/V 2>>"), PdfReadStatus::Encrypted},
      {"no startxref", good.substr(0, good.rfind("startxref")), PdfReadStatus::BrokenXref},
      {"startxref off by one", good.substr(0, good.rfind("startxref")) + "startxref\n" + std::to_string(xref + 1) +
                                   "\n%%EOF\n", PdfReadStatus::BrokenXref},
      {"entry at another object", misplaced, PdfReadStatus::BrokenXref},
      {"cut short", good.substr(0, good.size() / 2) + good.substr(good.rfind("startxref")), PdfReadStatus::BrokenXref},
      {"prev loop", looping, PdfReadStatus::BrokenXref},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MemoryFile file(c.bytes);
    PdfDocument document(file);
    EXPECT_EQ(document.Open(), c.status);
  }
}

TEST(PdfStamp, AnnotationAppendedWithASectionOfTheFilesOwnKind) {
  for (const TestXref kind : kKinds) {
    SCOPED_TRACE(KindName(kind));
    const std::string original = FivePages().Build(kind);
    MemoryFile file(original);
    const PdfUpdate update = MakePdfUpdate(file, Spec(PdfPageChoice::Kind::Last), RedBlock());
    ASSERT_EQ(update.result, PdfStampResult::Stamped);
    EXPECT_EQ(update.pageNumber, 5);
    EXPECT_LT(update.appended.size(), 4096u);
    // Stamped again on the result: a chain of two updates.
    std::string once = original + update.appended;
    MemoryFile onceFile(once);
    const PdfUpdate second = MakePdfUpdate(onceFile, Spec(PdfPageChoice::Kind::Number, 4), RedBlock());
    ASSERT_EQ(second.result, PdfStampResult::Stamped);
    const std::string twice = once + second.appended;

    MemoryFile stamped(twice);
    PdfDocument document(stamped);
    ASSERT_EQ(document.Open(), PdfReadStatus::Ok);
    EXPECT_EQ(document.UsesXrefStream(), kind == TestXref::Stream);
    EXPECT_EQ(document.PageCount(), 5);
    for (const int index : {3, 4}) {
      PdfPage page;
      ASSERT_EQ(document.Page(index, page), PdfReadStatus::Ok);
      const PdfObject annots = Get(document, page.dictionary.Find("Annots"));
      ASSERT_EQ(annots.items.size(), 1u);
      // The last page's /Annots stays the indirect array it was.
      EXPECT_EQ(page.dictionary.Find("Annots")->Is(PdfKind::Reference), index == 4);
      const PdfObject annotation = Get(document, &annots.items[0]);
      EXPECT_TRUE(annotation.Find("Subtype")->IsName("Stamp"));
      EXPECT_EQ(annotation.Find("F")->integer, 4);
      EXPECT_EQ(annotation.Find("P")->ref, page.ref);
      EXPECT_EQ(annotation.Find("Contents")->text, std::string("\xFE\xFF\x62\x7F\x8A\x8D\x00 \x5C\x71\x75\x30", 12));
      EXPECT_EQ(annotation.Find("M")->text, "D:20240301093000+09'00'");
      const PdfObject form = Get(document, Get(document, annotation.Find("AP")).Find("N"));
      EXPECT_TRUE(form.Find("Subtype")->IsName("Form"));
      const PdfObject image = Get(document, Get(document, Get(document, form.Find("Resources")).Find("XObject")).Find("Im1"));
      EXPECT_EQ(image.Find("Width")->integer, 2);
      EXPECT_TRUE(image.Find("SMask"));
    }
  }
}

TEST(PdfStamp, SealStandsUprightAtItsSizeWhereTheUserSeesThePosition) {
  const std::string original = FivePages().Build(TestXref::Table);
  MemoryFile file(original);
  struct Case {
    const char* name;
    PdfPageChoice page;
    PdfSealPosition position;
    PdfBox rect;
    double matrix[4];
  };
  const Case cases[] = {
      // Shown 842 wide: top-right 10 mm in, the seal 144 x 72 shown, 72 x 144 on the page.
      {"rotate 90, top right", {PdfPageChoice::Kind::First}, {true, PdfCorner::TopRight, 10},
       {28.35, 669.65, 100.35, 813.65}, {0, 1, -1, 0}},
      {"rotate 90, bottom left", {PdfPageChoice::Kind::First}, {true, PdfCorner::BottomLeft, 10},
       {494.65, 28.35, 566.65, 172.35}, {0, 1, -1, 0}},
      // Units of 2 points: the seal is 72 x 36 units; 10 mm, 20 mm from the shown top-left.
      {"rotate 180, user unit 2", {PdfPageChoice::Kind::Number, 4}, {false, PdfCorner::TopLeft, 0, 10, 20},
       {213.83, 48.35, 285.83, 84.35}, {-1, 0, 0, -1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PdfStampSpec spec = Spec(c.page.kind, c.page.number);
    spec.position = c.position;
    const PdfUpdate update = MakePdfUpdate(file, spec, RedBlock());
    ASSERT_EQ(update.result, PdfStampResult::Stamped);
    ExpectBox(update.placement.rect, c.rect.left, c.rect.bottom, c.rect.right, c.rect.top);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(update.placement.formMatrix[i], c.matrix[i]);
  }
  PdfStampSpec outside = Spec(PdfPageChoice::Kind::First);
  outside.position = {false, PdfCorner::TopLeft, 0, 250, 10};
  EXPECT_EQ(MakePdfUpdate(file, outside, RedBlock()).result, PdfStampResult::OutsidePage);
  EXPECT_EQ(MakePdfUpdate(file, Spec(PdfPageChoice::Kind::Number, 6), RedBlock()).result,
            PdfStampResult::PageOutOfRange);
  EXPECT_EQ(MakePdfUpdate(file, Spec(PdfPageChoice::Kind::Number, 0), RedBlock()).result,
            PdfStampResult::PageOutOfRange);
  EXPECT_EQ(MakePdfUpdate(file, Spec(PdfPageChoice::Kind::Last), PdfAppearance{}).result, PdfStampResult::NoSeal);
}

TEST(PdfStamp, CertifiedAndSignedDocumentsAllowWhatTheirPermissionAllows) {
  struct Case {
    const char* catalog;
    PdfStampResult annotation;
    PdfStampResult flattened;
  };
  const char* kPerms = "/Perms<</DocMDP 20 0 R>>";
  const Case cases[] = {
      {"/Perms<</DocMDP<</Reference[<</TransformMethod/DocMDP/TransformParams<</P 1>>>>]>>>>",
       PdfStampResult::AnnotationsNotAllowed, PdfStampResult::ChangesNotAllowed},
      {kPerms, PdfStampResult::AnnotationsNotAllowed, PdfStampResult::ChangesNotAllowed},  // no /P: 2
      {"/Perms<</DocMDP<</Reference[<</TransformMethod/DocMDP/TransformParams<</P 3>>>>]>>>>",
       PdfStampResult::Stamped, PdfStampResult::ChangesNotAllowed},
      {"/AcroForm<</Fields[]/SigFlags 3>>", PdfStampResult::Stamped, PdfStampResult::ChangesNotAllowed},
      {"", PdfStampResult::Stamped, PdfStampResult::Stamped},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.catalog);
    TestPdf pdf = FivePages();
    pdf.Set(1, std::string("<</Type/Catalog/Pages 2 0 R") + c.catalog + ">>");
    pdf.Set(20, "<</Type/Sig/Reference[<</TransformMethod/DocMDP>>]>>");
    const std::string bytes = pdf.Build(TestXref::Stream);
    MemoryFile file(bytes);
    PdfStampSpec spec = Spec(PdfPageChoice::Kind::First);
    EXPECT_EQ(MakePdfUpdate(file, spec, RedBlock()).result, c.annotation);
    spec.flatten = true;
    EXPECT_EQ(MakePdfUpdate(file, spec, RedBlock()).result, c.flattened);
  }
}

TEST(PdfStamp, FlattenedSealIsDrawnAfterTheOldContentWrappedInSaveAndRestore) {
  const std::string original = FivePages().Build(TestXref::Hybrid);
  MemoryFile file(original);
  PdfStampSpec spec = Spec(PdfPageChoice::Kind::Number, 4);
  spec.flatten = true;
  const PdfUpdate update = MakePdfUpdate(file, spec, RedBlock());
  ASSERT_EQ(update.result, PdfStampResult::Stamped);
  EXPECT_NE(update.appended.find("stream\nq\n\nendstream"), std::string::npos);
  const std::string stamped = original + update.appended;
  MemoryFile stampedFile(stamped);
  PdfDocument document(stampedFile);
  ASSERT_EQ(document.Open(), PdfReadStatus::Ok);
  PdfPage page;
  ASSERT_EQ(document.Page(3, page), PdfReadStatus::Ok);
  const PdfObject& contents = *page.dictionary.Find("Contents");
  ASSERT_EQ(contents.items.size(), 4u);
  EXPECT_EQ(contents.items[1].ref.number, 10);
  EXPECT_EQ(contents.items[2].ref.number, 10);
  EXPECT_GT(contents.items[3].ref.number, 11);
  // The inherited resources come along with the seal's form.
  const PdfObject resources = Get(document, page.dictionary.Find("Resources"));
  EXPECT_TRUE(resources.Find("ProcSet"));
  const PdfObject form = Get(document, Get(document, resources.Find("XObject")).Find("VarnelSeal1"));
  EXPECT_TRUE(form.Find("Subtype")->IsName("Form"));
  EXPECT_FALSE(page.dictionary.Find("Annots"));
}

TEST(PdfRequest, WordsOfVrnctlBecomeTheRequestThatTravels) {
  struct Case {
    const char* words;
    PdfArgumentError::Kind error;
  };
  const Case cases[] = {
      {"a.pdf", PdfArgumentError::Kind::None},
      {"\"見積 書.pdf\" --seal SLOT 3 --page first --at 12.5,30 --out b.pdf --replace --flatten",
       PdfArgumentError::Kind::None},
      {"a.pdf --seal date --page 4 --corner bottom-left --margin 0 --in-place", PdfArgumentError::Kind::None},
      {"", PdfArgumentError::Kind::NoFile},
      {"a.pdf b.pdf", PdfArgumentError::Kind::ExtraFile},
      {"a.pdf --page", PdfArgumentError::Kind::MissingValue},
      {"a.pdf --seal slot", PdfArgumentError::Kind::MissingValue},
      {"a.pdf --seal slot 11", PdfArgumentError::Kind::BadValue},
      {"a.pdf --page 0", PdfArgumentError::Kind::BadValue},
      {"a.pdf --at 10", PdfArgumentError::Kind::BadValue},
      {"a.pdf --margin -1", PdfArgumentError::Kind::BadValue},
      {"a.pdf --corner middle", PdfArgumentError::Kind::BadValue},
      {"a.pdf --at 1,2 --corner top-left", PdfArgumentError::Kind::Conflict},
      {"a.pdf --out b.pdf --in-place", PdfArgumentError::Kind::Conflict},
      {"a.pdf --stamp", PdfArgumentError::Kind::UnknownOption},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.words);
    PdfControlRequest request;
    EXPECT_EQ(ParsePdfArguments(SplitOptionWords(c.words), request).kind, c.error);
    if (c.error != PdfArgumentError::Kind::None) continue;
    const std::optional<PdfControlRequest> travelled = ParsePdfRequest(SerializePdfRequest(request));
    ASSERT_TRUE(travelled);
    EXPECT_EQ(SerializePdfRequest(*travelled), SerializePdfRequest(request));
  }
  PdfControlRequest request;
  ParsePdfArguments(SplitOptionWords("\"見積 書.pdf\" --seal slot 3 --page first --at 12.5,30 --out b.pdf"), request);
  EXPECT_EQ(request.pdf, "見積 書.pdf");
  EXPECT_EQ(request.seal.kind, PdfSealKind::Slot);
  EXPECT_EQ(request.seal.slot, 3);
  EXPECT_EQ(request.page.kind, PdfPageChoice::Kind::First);
  EXPECT_FALSE(request.position.atCorner);
  EXPECT_EQ(request.position.xMm, 12.5);
  EXPECT_EQ(request.output, "b.pdf");
  // The defaults: the name seal on the last page, 10 mm in from the top-right corner, as a copy.
  ParsePdfArguments({"a.pdf"}, request);
  EXPECT_EQ(SerializePdfRequest(request),
            "VarnelPdfStamp 1\nfile=a.pdf\nout=\nmode=copy\nreplace=0\nflatten=0\nseal=name\npage=last\n"
            "corner=top-right\nmargin=10\n");
  EXPECT_FALSE(ParsePdfRequest("VarnelPdfStamp 1\nfile=a.pdf\nat=1,2\ncorner=top-left\n"));
  EXPECT_FALSE(ParsePdfRequest("VarnelPdfStamp 2\nfile=a.pdf\n"));
  EXPECT_FALSE(ParsePdfRequest("VarnelPdfStamp 1\nout=b.pdf\n"));
}
