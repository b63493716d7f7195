// The option record in the root key, the scrambled secrets and the
// settings-generation check.

#include <algorithm>
#include <array>
#include <cstring>
#include <string>

#include "Records.h"
#include "Settings.h"
#include "Sjis.h"
#include "ValueRules.h"

OptionRecord OptionSettings{};

namespace {

struct IntOption {
  const char* name;
  std::int32_t OptionRecord::*field;
  const char* defaultText;
};

#define OPT(field, def) IntOption{#field, &OptionRecord::field, def}

// Plain integer options, each with its default.
const std::array kIntOptions = {
    OPT(PasswordCheck, "1"), OPT(EditorLock, "1"), OPT(CheckDate, "1"),
    OPT(Wx, "0"), OPT(Wy, "0"), OPT(Bitmap1Resolution, "15294"),
    OPT(ShowMessage, "1"), OPT(ColorBits, "2"), OPT(FocusGet, "0"),
    OPT(HideMenu, "0"), OPT(PasswordOnStamp, "1"), OPT(ShowExBar, "1"),
    OPT(CopyGuard, "0"), OPT(BackImage, "1"), OPT(RezoHosei, "100"),
    OPT(Rotate, "0"), OPT(RotateSz, "0"), OPT(RotateAngle, "0"),
    OPT(TaskTrayIconDoubleClick, "0"), OPT(StayOnTaskTray, "0"), OPT(MainToolBar, "0"),
    OPT(TerminateAsStamped, "0"), OPT(NoDispCopyGuardTitle, "1"), OPT(ClipBrdClear, "0"),
    OPT(GenMetafile, "0"), OPT(SecTextColor, "255"), OPT(SecLineColor, "16776960"),
    OPT(ClipboardPng, "0"),
    OPT(InkEffect, "0"), OPT(InkTilt, "0"), OPT(InkSeed, "0"),
    OPT(StampLog, "0"),
};

const IntOption* FindIntOption(std::string_view name) {
  for (const IntOption& option : kIntOptions)
    if (name == option.name) return &option;
  return nullptr;
}

// The values in the order they are read and written; names that are not
// plain integers are handled by LoadSpecial and SaveSpecial.
constexpr std::array<const char*, 37> kLoadOrder = {
    "PasswordCheck", "EditorLock", "CheckDate", "Wx", "Wy", "Bitmap1Resolution",
    "UserPassword", "ClipboardFormat", "DocumentFilter", "ShowMessage", "Bitmap1",
    "ColorBits", "FocusGet", "HideMenu", "PasswordOnStamp", "ShowExBar", "CopyGuard",
    "BackImage", "UIDK", "RezoHosei", "Rotate", "RotateSz", "RotateAngle",
    "TaskTrayIconDoubleClick", "StayOnTaskTray", "MainToolBar", "TerminateAsStamped",
    "NoDispCopyGuardTitle", "ClipBrdClear", "GenMetafile", "SecTextColor", "SecLineColor", "ClipboardPng",
    "InkEffect", "InkTilt", "InkSeed",
    "StampLog",
};

constexpr std::array<const char*, 37> kSaveOrder = {
    "PasswordCheck", "EditorLock", "CheckDate", "Wx", "Wy", "Bitmap1Resolution",
    "ColorBits", "UserPassword", "ClipboardFormat", "DocumentFilter", "ShowMessage",
    "FocusGet", "HideMenu", "Bitmap1", "PasswordOnStamp", "ShowExBar", "CopyGuard",
    "BackImage", "UIDK", "RezoHosei", "Rotate", "RotateSz", "RotateAngle",
    "TaskTrayIconDoubleClick", "StayOnTaskTray", "MainToolBar", "TerminateAsStamped",
    "NoDispCopyGuardTitle", "ClipBrdClear", "GenMetafile", "SecTextColor", "SecLineColor", "ClipboardPng",
    "InkEffect", "InkTilt", "InkSeed",
    "StampLog",
};

constexpr const char* kEraNames[kEraCount] = {"昭和", "平成", "令和", "", ""};
constexpr const char* kEraDates[kEraCount] = {"1926/12/25", "1989/01/08", "2019/05/01", "", ""};

// XOR with the scramble key over at most maxBytes bytes, stopping at a NUL.
std::string Scramble(std::string_view text, std::size_t maxBytes) {
  std::string out;
  for (std::size_t i = 0; i < text.size() && i < maxBytes && text[i] != '\0'; ++i)
    out += static_cast<char>(static_cast<unsigned char>(text[i]) ^ kScrambleKey);
  return out;
}

// The scrambled password is not text: it is copied and cut byte for byte.
void StoreScrambled(char (&field)[40], std::string_view scrambled) {
  const std::size_t n = std::min({scrambled.size(), kPasswordMaxBytes, scrambled.find('\0')});
  std::memcpy(field, scrambled.data(), n);
  field[n] = '\0';
}

std::string_view StoredPassword(const OptionRecord& r) {
  return FieldText(r.UserPassword).substr(0, std::min(sizeof r.UserPassword, kPasswordMaxBytes));
}

int ClipboardFormatFromKeyword(std::string_view text) {
  if (SjisEqualsNoCase(text, "EnhancedMetafile")) return kClipboardEmf;
  if (SjisEqualsNoCase(text, "DIBitmap")) return kClipboardDib;
  return kClipboardBoth;
}

int DocumentFilterFromKeyword(std::string_view text) {
  if (SjisEqualsNoCase(text, "Solid")) return kFilterSolid;
  if (SjisEqualsNoCase(text, "Invert")) return kFilterInvert;
  return kFilterTransparent;
}

void LoadSpecial(SettingsKey& key, std::string_view name, const FileExistsFn& fileExists,
                 OptionRecord& r) {
  if (name == "UserPassword") {
    // Already scrambled on disk; only the significant bytes are kept.
    StoreScrambled(r.UserPassword, LoadValueText(key, name, ""));
  } else if (name == "ClipboardFormat") {
    r.ClipboardFormat = ClipboardFormatFromKeyword(LoadValueText(key, name, "EMF+DIB"));
  } else if (name == "DocumentFilter") {
    r.DocumentFilter = DocumentFilterFromKeyword(LoadValueText(key, name, "Transparent"));
  } else if (name == "Bitmap1") {
    std::string text = key.Read(name);
    if (text.empty()) {
      key.Write(name, fileExists && fileExists("varnel.bmp") ? "varnel.bmp" : "0");
      text = key.Read(name);
    }
    CopyToField(r.Bitmap1, text);
  } else if (name == "UIDK") {
    // A key that could not have been set (bytes the store cannot hold once
    // scrambled) counts as none, so the next save replaces it.
    const std::string plain = Scramble(LoadValueText(key, name, ""), kUidkMaxBytes);
    CopyToField(r.UIDK, IsStorableSecret(plain) ? plain : std::string());
  }
}

void SaveSpecial(SettingsKey& key, std::string_view name, const OptionRecord& r) {
  if (name == "UserPassword") {
    key.Write(name, StoredPassword(r));
  } else if (name == "ClipboardFormat") {
    key.Write(name, r.ClipboardFormat == kClipboardEmf   ? "EnhancedMetafile"
                    : r.ClipboardFormat == kClipboardDib ? "DIBitmap"
                                                         : "EMF+DIB");
  } else if (name == "DocumentFilter") {
    static constexpr const char* kKeywords[] = {"Solid", "TransParent", "Invert"};
    if (r.DocumentFilter >= 0 && r.DocumentFilter <= 2) key.Write(name, kKeywords[r.DocumentFilter]);
  } else if (name == "Bitmap1") {
    key.Write(name, FieldText(r.Bitmap1));
  } else if (name == "UIDK") {
    key.Write(name, Scramble(FieldText(r.UIDK), kUidkMaxBytes));
  }
}

std::string EraValueName(const char* stem, int index) { return stem + std::to_string(index + 1); }

void LoadEraTable(SettingsKey& key, OptionRecord& r) {
  std::memset(r.WarekiName, 0, sizeof r.WarekiName);
  std::memset(r.WarekiDate, 0, sizeof r.WarekiDate);
  for (int i = 0; i < kEraCount; ++i) {
    CopyToField(r.WarekiName[i], LoadValueText(key, EraValueName("WarekiName", i), kEraNames[i]));
    CopyToField(r.WarekiDate[i], LoadValueText(key, EraValueName("WarekiDate", i), kEraDates[i]));
  }
}

void SaveEraTable(SettingsKey& key, const OptionRecord& r) {
  for (int i = 0; i < kEraCount; ++i) {
    key.Write(EraValueName("WarekiName", i), FieldText(r.WarekiName[i]));
    // Stored as "Warekidate<n>", the same value to the case-blind registry.
    key.Write(EraValueName("Warekidate", i), FieldText(r.WarekiDate[i]));
  }
}

}  // namespace

void LoadOptionSettings(SettingsStore& store, const FileExistsFn& fileExists, OptionRecord& record) {
  auto key = store.Open(VarnelKeyPath(""));
  if (!key) return;
  for (const char* name : kLoadOrder) {
    if (const IntOption* option = FindIntOption(name))
      record.*option->field = ParseDecimal(LoadValueText(*key, name, option->defaultText));
    else
      LoadSpecial(*key, name, fileExists, record);
  }
  LoadEraTable(*key, record);
  // The ink choices are new: a value this program never wrote reads as off.
  if (record.InkEffect < kInkOff || record.InkEffect > kInkStrong) record.InkEffect = kInkOff;
  if (record.InkTilt != 1) record.InkTilt = 0;
}

void SaveOptionSettings(SettingsStore& store, const OptionRecord& record) {
  auto key = store.Open(VarnelKeyPath(""));
  if (!key) return;
  for (const char* name : kSaveOrder) {
    if (const IntOption* option = FindIntOption(name))
      WriteInt(*key, name, record.*option->field);
    else
      SaveSpecial(*key, name, record);
  }
  SaveEraTable(*key, record);
}

void LoadAllSettings(SettingsStore& store, const FileExistsFn& fileExists) {
  LoadNameSealSettings(store);
  LoadDateSealSettings(store);
  LoadOptionSettings(store, fileExists);
}

void SaveAllSettings(SettingsStore& store) {
  SaveNameSealSettings(store);
  SaveDateSealSettings(store);
  SaveOptionSettings(store);
}

void RunVersionCheck(SettingsStore& store, const ShowMessageFn& showMessage) {
  store.Open("Software\\Qdx", true);
  auto root = store.Open(kVarnelRoot, false);
  if (!root) {
    root = store.Open(kVarnelRoot, true);
    if (root) WriteInt(*root, "Version", kSettingsGeneration);
    return;
  }
  const int stored = ParseDecimal(root->Read("Version"));
  if (stored > 0 && stored < kSettingsGeneration) {
    root->Write("PasswordCheck", "1");
    root->Write("PasswordOnStamp", "1");
    root->Write("UserPassword", "");
    root->Write("UIDK", "");
    if (showMessage)
      showMessage(
          "バージョンアップ対応のため\nセキュリティのパスワード設定と\n"
          "偽造防止機能押印者認証コードを初期化しました。");
  }
  WriteInt(*root, "Version", kSettingsGeneration);
}

bool IsStorableSecret(std::string_view text) {
  for (char c : text) {
    const auto b = static_cast<unsigned char>(c);
    if (b == '\0') break;
    if (b < 0x20 || b > 0x7E || b == kScrambleKey) return false;
  }
  return true;
}

bool SetUserPassword(std::string_view text, OptionRecord& record) {
  const std::string_view kept = text.substr(0, std::min(text.size(), kPasswordMaxBytes));
  if (!IsStorableSecret(kept)) return false;
  StoreScrambled(record.UserPassword, Scramble(kept, kPasswordMaxBytes));
  return true;
}

std::string GetUserPassword(const OptionRecord& record) {
  return Scramble(StoredPassword(record), kPasswordMaxBytes);
}

bool CheckUserPassword(std::string_view text, const OptionRecord& record) {
  const std::string_view stored = StoredPassword(record);
  if (auto nul = text.find('\0'); nul != std::string_view::npos) text = text.substr(0, nul);
  return text.size() == stored.size() && Scramble(text, text.size()) == stored;
}
