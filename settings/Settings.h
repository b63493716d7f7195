#pragma once
// Loading and saving the settings records over a SettingsStore, the
// settings-generation check and the scrambled password.

#include <functional>
#include <string>
#include <string_view>

#include "Records.h"
#include "SettingsStore.h"

// Whether a file (code-page-932 name, relative to the current directory) exists.
using FileExistsFn = std::function<bool(std::string_view name)>;
// Shows a message box with the program's caption; the text is code page 932.
using ShowMessageFn = std::function<void(std::string_view text)>;

inline constexpr int kSettingsGeneration = 126;
inline constexpr unsigned char kScrambleKey = 0x2B;
inline constexpr std::size_t kPasswordMaxBytes = 20;
inline constexpr std::size_t kUidkMaxBytes = 8;

// Decimal parse as C's atol: leading white space, a sign, digits up to the
// first non-digit; no digits read as 0. Values beyond 32 bits saturate.
int ParseDecimal(std::string_view text);

void LoadNameSealSettings(SettingsStore& store, NameSealRecord& record = NameSealSettings);
void LoadDateSealSettings(SettingsStore& store, DateSealRecord& record = DateSealSettings);
void LoadOptionSettings(SettingsStore& store, const FileExistsFn& fileExists,
                        OptionRecord& record = OptionSettings);
void LoadAllSettings(SettingsStore& store, const FileExistsFn& fileExists);

void SaveNameSealSettings(SettingsStore& store, const NameSealRecord& record = NameSealSettings);
void SaveDateSealSettings(SettingsStore& store, const DateSealRecord& record = DateSealSettings);
void SaveOptionSettings(SettingsStore& store, const OptionRecord& record = OptionSettings);
void SaveAllSettings(SettingsStore& store);

// Resets the password settings once after an upgrade from an older
// generation and stamps the tree with the current one.
void RunVersionCheck(SettingsStore& store, const ShowMessageFn& showMessage);

// A secret (password or authentication-code key) can be stored only when each
// byte is printable ASCII other than '+': '+' XOR the scramble key is NUL and
// would end the stored text early, and other bytes scramble into sequences
// that are not valid code-page-932 text for the registry.
bool IsStorableSecret(std::string_view text);

// Stores at most the first 20 bytes, scrambled. Refuses (and leaves the
// stored password as it was) a text that IsStorableSecret rejects.
bool SetUserPassword(std::string_view text, OptionRecord& record = OptionSettings);
std::string GetUserPassword(const OptionRecord& record = OptionSettings);
bool CheckUserPassword(std::string_view text, const OptionRecord& record = OptionSettings);
