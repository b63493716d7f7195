#include "GraphicScript.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <utility>

#include "QdxDate.h"
#include "Records.h"
#include "ScriptReader.h"
#include "Sjis.h"

bool ScriptPreviewMode = false;

namespace {

enum class Dialect { Bitmap, Metafile };

constexpr int kInitialMetafileSide = 100;

// Colour components spill into the next one; what would spill beyond blue
// turns a GDI colour into a palette reference, so it is dropped.
Color ScriptColor(int red, int green, int blue) {
  const std::uint32_t value = static_cast<std::uint32_t>(red) + static_cast<std::uint32_t>(green) * 0x100u +
                              static_cast<std::uint32_t>(blue) * 0x10000u;
  return value & 0xFFFFFFu;
}

// dpi to pixels per metre. No dpi (0, a missing or non-numeric argument) is
// no resolution, which callers take as no picture; a negative one is the
// same, and a huge one is held where the callers' arithmetic cannot overflow.
int ResolutionOfDpi(int dpi) {
  const int bounded = std::clamp(dpi, 0, kScriptMaxDpi);
  return static_cast<int>(bounded * 100 * 0.39370078740157477);
}

// The drawing state a script starts from and that every Size brings back. The
// font style and the fill colour are left as they are.
void ResetDrawingState(Canvas& canvas) {
  canvas.Pen.color = kRed;
  canvas.Pen.width = 3;
  canvas.Pen.style = PenStyle::Solid;
  canvas.Brush.style = BrushStyle::Clear;
  canvas.Font.charset = kDefaultCharset;
  canvas.Font.name = "ＭＳゴシック";
  canvas.Font.color = kRed;
  canvas.Font.size = 20;
}

// The arguments of one script line.
class Args {
 public:
  Args(const ScriptReader& script, int line) : script_(script), line_(line) {}
  std::string Text(int n) const { return script_.Token(line_, n); }
  int Int(int n) const { return script_.TokenInt(line_, n); }
  int Coordinate(int n) const { return std::clamp(Int(n), -kScriptMaxCoordinate, kScriptMaxCoordinate); }
  Color ColorAt(int n) const { return ScriptColor(Int(n), Int(n + 1), Int(n + 2)); }
  Rect Box(int n) const { return {Coordinate(n), Coordinate(n + 1), Coordinate(n + 2), Coordinate(n + 3)}; }

 private:
  const ScriptReader& script_;
  int line_;
};

// The process-wide values a bitmap run may change, put back when it ends.
class DateSettingsKeeper {
 public:
  DateSettingsKeeper() : years_(DateSealSettings.Main.Years) {
    std::memcpy(header_, DateSealSettings.Main.Header, sizeof header_);
    if (ScriptPreviewMode) {
      savedCheckDate_ = OptionSettings.CheckDate;
      OptionSettings.CheckDate = 0;
    }
  }
  ~DateSettingsKeeper() {
    DateSealSettings.Main.Years = years_;
    std::memcpy(DateSealSettings.Main.Header, header_, sizeof header_);
    if (savedCheckDate_) OptionSettings.CheckDate = *savedCheckDate_;
  }
  DateSettingsKeeper(const DateSettingsKeeper&) = delete;
  DateSettingsKeeper& operator=(const DateSettingsKeeper&) = delete;

 private:
  std::int32_t years_;
  char header_[sizeof DateSealSettings.Main.Header];
  std::optional<std::int32_t> savedCheckDate_;
};

class ScriptRun {
 public:
  ScriptRun(Dialect dialect, WorkImage& image, SealForm& form) : dialect_(dialect), image_(image), form_(form) {}

  int Run(const ScriptReader& script) {
    if (dialect_ == Dialect::Metafile) StartRecording(kInitialMetafileSide, kInitialMetafileSide);
    for (int line = 0; line < script.Count(); ++line) RunLine(script, line);
    if (dialect_ == Dialect::Metafile) image_.EndMetafile();
    return resolution_;
  }

 private:
  using Handler = void (ScriptRun::*)(const Args&);
  struct Command {
    std::string_view name;
    Handler handler;
  };
  // In the order the names are tried.
  static const std::array<Command, 18> kCommands;

  void RunLine(const ScriptReader& script, int line) {
    const std::string name = script.Token(line, 0);
    if (name.empty()) return;
    for (const Command& command : kCommands) {
      if (SjisEqualsNoCase(name, command.name)) {
        (this->*command.handler)(Args(script, line));
        return;
      }
    }
  }

  bool IsBitmap() const { return dialect_ == Dialect::Bitmap; }

  // The bitmap comes into being at the control's size of the moment the
  // script first touches the canvas; it starts from the script defaults.
  Canvas& Surface() {
    if (!canvas_) {
      canvas_ = &image_.BitmapCanvas();
      ResetDrawingState(*canvas_);
    }
    return *canvas_;
  }

  void StartRecording(int width, int height) {
    canvas_ = &image_.BeginMetafile(width, height);
    ResetDrawingState(*canvas_);
  }

  void Size(const Args& args) {
    const int width = std::clamp(args.Int(1), 1, kScriptMaxPictureSide);
    const int height = std::clamp(args.Int(2), 1, kScriptMaxPictureSide);
    if (IsBitmap()) {
      image_.SetSize(width, height);
      ResetDrawingState(Surface());
    } else {
      StartRecording(width, height);
    }
  }

  void Reso(const Args& args) { resolution_ = ResolutionOfDpi(args.Int(1)); }

  void BgColor(const Args& args) {
    Canvas& canvas = Surface();
    if (args.Int(1) == -1 || args.Int(2) == -1 || args.Int(3) == -1) {
      canvas.Brush.style = BrushStyle::Clear;
      return;
    }
    canvas.Brush.style = BrushStyle::Solid;
    canvas.Brush.color = args.ColorAt(1);
  }

  void LineColor(const Args& args) {
    Canvas& canvas = Surface();
    canvas.Pen.style = PenStyle::Solid;
    canvas.Pen.color = args.ColorAt(1);
  }

  void LineWidth(const Args& args) { Surface().Pen.width = std::clamp(args.Int(1), 0, kScriptMaxPenWidth); }

  void LineStyle(const Args& args) {
    static constexpr std::array<std::pair<std::string_view, PenStyle>, 5> kStyles{{
        {"SOLID", PenStyle::Solid},
        {"DASH", PenStyle::Dash},
        {"DOT", PenStyle::Dot},
        {"DASHDOT", PenStyle::DashDot},
        {"DASHDOTDOT", PenStyle::DashDotDot},
    }};
    Canvas& canvas = Surface();
    const std::string word = args.Text(1);
    for (const auto& [name, style] : kStyles)
      if (SjisEqualsNoCase(word, name)) canvas.Pen.style = style;
  }

  // A name with blanks arrives as several tokens; the bitmap dialect joins up
  // to four, the metafile dialect two.
  void FontName(const Args& args) {
    Canvas& canvas = Surface();
    std::string name = args.Text(1);
    const int lastPart = IsBitmap() ? 4 : 2;
    for (int n = 2; n <= lastPart; ++n) {
      const std::string part = args.Text(n);
      if (!part.empty()) name += " " + part;
    }
    canvas.Font.charset = kDefaultCharset;
    canvas.Font.name = name;
    if (IsBitmap()) canvas.Font.style = 0;
  }

  void FontSize(const Args& args) {
    Surface().Font.size = std::clamp(args.Int(1), -kScriptMaxFontPoints, kScriptMaxFontPoints);
  }

  void FontColor(const Args& args) { Surface().Font.color = args.ColorAt(1); }

  // Exact, case-sensitive words; the metafile dialect has no font styles.
  void FontStyle(const Args& args) {
    if (!IsBitmap()) return;
    static constexpr std::array<std::pair<std::string_view, std::uint8_t>, 5> kStyles{{
        {"ITALIC", kStyleItalic},
        {"BOLD", kStyleBold},
        {"UNDERLINE", kStyleUnderline},
        {"STRIKEOUT", kStyleStrikeOut},
        {"ITALICBOLD", kStyleItalic | kStyleBold},
    }};
    Canvas& canvas = Surface();
    const std::string word = args.Text(1);
    for (const auto& [name, style] : kStyles)
      if (word == name) canvas.Font.style = style;
  }

  void Line(const Args& args) {
    Canvas& canvas = Surface();
    canvas.MoveTo(args.Coordinate(1), args.Coordinate(2));
    canvas.LineTo(args.Coordinate(3), args.Coordinate(4));
  }

  void Rectangle(const Args& args) { Surface().Rectangle(args.Box(1)); }

  void RoundRect(const Args& args) {
    const int corner = args.Coordinate(5);
    Surface().RoundRect(args.Box(1), corner, corner);
  }

  void Circle(const Args& args) { Surface().Ellipse(args.Box(1)); }

  void Text(const Args& args) { Surface().TextOut(args.Coordinate(2), args.Coordinate(3), args.Text(1)); }

  void TextC(const Args& args) {
    Canvas& canvas = Surface();
    const std::string text = args.Text(1);
    const Rect box = args.Box(2);
    const Extent extent = canvas.TextExtent(text);
    canvas.TextOut(CentredStart(box.left, box.right, extent.cx), CentredStart(box.top, box.bottom, extent.cy), text);
  }

  static int CentredStart(int from, int to, int size) {
    const std::int64_t start = from + ((std::int64_t{to} - from) - size) / 2;
    return static_cast<int>(std::clamp<std::int64_t>(start, -kScriptMaxCoordinate, kScriptMaxCoordinate));
  }

  void Date(const Args& args) {
    Canvas& canvas = Surface();
    canvas.TextOut(args.Coordinate(1), args.Coordinate(2), DateText());
  }

  // Header and today's date in the year style of the date seal; confirmed or
  // changed by the user when the options ask for it.
  std::string DateText() const {
    const Clock& clock = form_.clock ? *form_.clock : SystemClock();
    std::string text = ComposeDateText(FieldText(DateSealSettings.Main.Header), DateSealSettings.Main.Years,
                                       false, clock, OptionSettings);
    if (OptionSettings.CheckDate != 0 && form_.AskDate)
      text = std::string(SjisPrefix(form_.AskDate(text), kDateTextMaxBytes));
    return text;
  }

  // Lasts for the rest of this run only; the metafile dialect ignores it.
  void DateFormat(const Args& args) {
    if (!IsBitmap()) return;
    const int format = args.Int(1);
    if (format >= 1 && format <= 3) DateSealSettings.Main.Years = format - 1;
    CopyToField(DateSealSettings.Main.Header, args.Text(2));
  }

  Dialect dialect_;
  WorkImage& image_;
  SealForm& form_;
  Canvas* canvas_ = nullptr;
  int resolution_ = kScriptDefaultResolution;
};

const std::array<ScriptRun::Command, 18> ScriptRun::kCommands{{
    {"Size", &ScriptRun::Size},           {"Reso", &ScriptRun::Reso},
    {"BGCOLOR", &ScriptRun::BgColor},     {"LINECOLOR", &ScriptRun::LineColor},
    {"LINEWIDTH", &ScriptRun::LineWidth}, {"LINESTYLE", &ScriptRun::LineStyle},
    {"FONTNAME", &ScriptRun::FontName},   {"FONTSIZE", &ScriptRun::FontSize},
    {"FONTCOLOR", &ScriptRun::FontColor}, {"FONTSTYLE", &ScriptRun::FontStyle},
    {"Line", &ScriptRun::Line},           {"Rect", &ScriptRun::Rectangle},
    {"ROUNDRECT", &ScriptRun::RoundRect}, {"Circle", &ScriptRun::Circle},
    {"Text", &ScriptRun::Text},           {"TextC", &ScriptRun::TextC},
    {"Date", &ScriptRun::Date},           {"DateFormat", &ScriptRun::DateFormat},
}};

}  // namespace

int RunGraphicScript(WorkImage& image, std::string_view cp932Path, SealForm& form) {
  ScriptReader script;
  if (script.Load(cp932Path) != 0) return 0;
  return RunGraphicScript(image, script, form);
}

int RunMetafileScript(WorkImage& image, std::string_view cp932Path, SealForm& form) {
  ScriptReader script;
  if (script.Load(cp932Path) != 0) return 0;
  return RunMetafileScript(image, script, form);
}

int RunGraphicScript(WorkImage& image, const ScriptReader& script, SealForm& form) {
  DateSettingsKeeper keeper;
  return ScriptRun(Dialect::Bitmap, image, form).Run(script);
}

int RunMetafileScript(WorkImage& image, const ScriptReader& script, SealForm& form) {
  return ScriptRun(Dialect::Metafile, image, form).Run(script);
}
