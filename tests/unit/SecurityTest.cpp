#include <gtest/gtest.h>

#include "MemoryStore.h"
#include "Policy.h"
#include "RecordingCanvas.h"
#include "Security.h"
#include "Settings.h"
#include "TestPrinters.h"

namespace {

using Op = DrawCall::Op;

// The C runtime's generator, written out on its own for comparison.
std::string ExpectedCode(std::uint32_t seed) {
  std::uint64_t state = seed;
  auto next = [&] {
    state = (state * 22695477u + 1u) & 0xFFFFFFFFu;
    return static_cast<int>((state >> 16) & 0x7FFF);
  };
  next();
  std::string code;
  for (int i = 0; i < 8; ++i) code += kAuthCodeAlphabet[static_cast<std::size_t>(next() % 63)];
  return code;
}

TEST(AuthCode, DependsOnTheKeysNumericValueAlone) {
  EXPECT_EQ(MakeAuthCode("12345678"), ExpectedCode(12345678));
  EXPECT_EQ(MakeAuthCode("12345678"), MakeAuthCode("12345678")) << "the same key gives the same code";
  EXPECT_EQ(MakeAuthCode("00012345"), MakeAuthCode("12345")) << "leading zeros do not count";
  EXPECT_EQ(MakeAuthCode(""), ExpectedCode(0));
  EXPECT_EQ(MakeAuthCode("abc"), ExpectedCode(0));
  EXPECT_NE(MakeAuthCode("1"), MakeAuthCode("2"));
  EXPECT_EQ(MakeAuthCode("99999999").size(), 8u);
}

// Hands out images that forward to ones the factory keeps, so the test can
// look at what was drawn on them after the code under test let them go.
class KeepingFactory : public WorkImageFactory {
  class Forward : public WorkImage {
   public:
    explicit Forward(MemoryWorkImage& kept) : kept_(kept) {}
    void SetSize(int w, int h) override { kept_.SetSize(w, h); }
    int Width() const override { return kept_.Width(); }
    int Height() const override { return kept_.Height(); }
    Canvas& BitmapCanvas() override { return kept_.BitmapCanvas(); }
    Canvas& BeginMetafile(int w, int h) override { return kept_.BeginMetafile(w, h); }
    void EndMetafile() override { kept_.EndMetafile(); }
    bool HoldsMetafile() const override { return kept_.HoldsMetafile(); }
    PackedDib BitmapAsDib24() override { return kept_.BitmapAsDib24(); }
    void SetBitmapFromDib(const PackedDib& dib) override { kept_.SetBitmapFromDib(dib); }

   private:
    MemoryWorkImage& kept_;
  };

 public:
  std::unique_ptr<WorkImage> Create() override {
    kept.push_back(std::make_unique<MemoryWorkImage>());
    made.push_back(kept.back().get());
    return std::make_unique<Forward>(*kept.back());
  }
  std::vector<MemoryWorkImage*> made;

 private:
  std::vector<std::unique_ptr<MemoryWorkImage>> kept;
};

class SecurityBlock : public ::testing::Test {
 protected:
  void SetUp() override {
    MemoryStore store;
    LoadOptionSettings(store, nullptr);
  }
  // The block image is the second one made (the first only measures).
  MemoryWorkImage& Block() { return *factory.made.at(1); }
  KeepingFactory factory;
  RecordingCanvas output;
};

TEST_F(SecurityBlock, LabelledLinesAreCentredOnAWhiteBlockWithWatermarks) {
  output.Mode = CopyMode::SrcAnd;
  DrawSecurityBlock(output, "A-1", "abcdefgh", 35, 100, 65, factory);
  // 30 points is 40 pixels in the fixed metric: 20 per single-byte character.
  const int h = FontPixelHeight(30), w1 = 8 * h / 2, w2 = 13 * h / 2;
  const int bw = w2 + 20, bh = 2 * h + 30;
  EXPECT_EQ(Block().Width(), bw);
  EXPECT_EQ(Block().Height(), bh);
  const auto texts = Block().bitmap.Only(Op::TextOut);
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0].text, "DOC[A-1]");
  EXPECT_EQ(texts[1].text, "UID[abcdefgh]");
  EXPECT_EQ(texts[0].x, (bw - w1) / 2) << "the shorter line is centred on the wider one";
  EXPECT_EQ(texts[0].y, 10);
  EXPECT_EQ(texts[1].y, h + 20);
  EXPECT_EQ(texts[0].font.name, "ＭＳ ゴシック");
  EXPECT_EQ(texts[0].font.color, kRed);
  EXPECT_EQ(texts[0].brush.style, BrushStyle::Clear);

  const auto lines = Block().bitmap.Only(Op::LineTo);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].y, 10 + (h / 4) * 3);
  EXPECT_EQ(lines[1].y, h + 20 + (h / 4) * 3);
  EXPECT_EQ(lines[0].x, bw);
  EXPECT_EQ(lines[0].pen.width, 16);
  EXPECT_EQ(lines[0].pen.mode, PenMode::NotXor);
  EXPECT_EQ(lines[0].pen.color, 0xFFFF00u);

  const auto stretch = output.Only(Op::StretchDraw);
  ASSERT_EQ(stretch.size(), 1u);
  EXPECT_EQ(stretch[0].box, (Rect{0, 40, 99, 64})) << "stretched into the band below the seal";
  EXPECT_EQ(stretch[0].mode, CopyMode::SrcAnd);
}

TEST_F(SecurityBlock, BareValuesAndAnEmptyDocumentId) {
  OptionSettings.NoDispCopyGuardTitle = 0;
  OptionSettings.SecLineColor = 0xFFFFFF;
  DrawSecurityBlock(output, "", "code1234", 0, 50, 40, factory);
  const auto texts = Block().bitmap.Only(Op::TextOut);
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0].text, "");
  EXPECT_EQ(texts[1].text, "code1234");
  EXPECT_EQ(Block().bitmap.Only(Op::LineTo).at(0).pen.color, kWhite) << "white lines change nothing";
}

TEST(AdminPolicy, AppliesOnlyWhenAdmIsExactlyOne) {
  MemoryStore store;
  const std::string root = VarnelKeyPath("");
  store.Set(root, "Policy01", "tttttttttttttttttttt");
  store.Set(root, "adm", "0");
  EXPECT_FALSE(ReadAdminPolicy(store).AdminPolicy);
  EXPECT_FALSE(ReadAdminPolicy(store).SealEditorOff());
  store.Set(root, "adm", " 1");
  EXPECT_FALSE(ReadAdminPolicy(store).AdminPolicy);

  store.Set(root, "adm", "1");
  store.Set(root, "Policy01", "t");
  AdminPolicyState policy = ReadAdminPolicy(store);
  EXPECT_TRUE(policy.AdminPolicy);
  EXPECT_FALSE(policy.SealEditorOff()) << "position 0 alone does not lock the editor";
  store.Set(root, "Policy01", "tt");
  EXPECT_TRUE(ReadAdminPolicy(store).SealEditorOff());

  store.Set(root, "Policy01", "..t....t..t.t..t");
  policy = ReadAdminPolicy(store);
  EXPECT_TRUE(policy.BitmapEditOff());
  EXPECT_TRUE(policy.ScriptEditorOff());
  EXPECT_TRUE(policy.DateChangeLocked);
  EXPECT_TRUE(policy.FileOutputOff());
  EXPECT_FALSE(policy.Off(15)) << "positions beyond 14 are ignored";
  EXPECT_STREQ(policy.PolicyFlags, "..t....t..t.t..");

  store.Remove(root, "Policy01");
  policy = ReadAdminPolicy(store);
  EXPECT_TRUE(policy.AdminPolicy);
  EXPECT_FALSE(policy.DateChangeLocked) << "a missing flag string restricts nothing";
}

TEST(AdminPolicy, PolicyStampLogKeepsTheLogOnWhateverTheUserChose) {
  MemoryStore store;
  const std::string root = VarnelKeyPath("");
  OptionRecord options{};
  options.StampLog = 0;
  store.Set(root, "PolicyStampLog", "1");
  EXPECT_FALSE(StampLogOn(options, ReadAdminPolicy(store))) << "without adm the policy does not apply";
  store.Set(root, "adm", "1");
  EXPECT_TRUE(StampLogOn(options, ReadAdminPolicy(store)));
  store.Set(root, "PolicyStampLog", "0");
  EXPECT_FALSE(StampLogOn(options, ReadAdminPolicy(store)));
  options.StampLog = 1;
  EXPECT_TRUE(StampLogOn(options, ReadAdminPolicy(store))) << "the user's own choice";
}

}  // namespace
