#include "StampRecorder.h"

#include "FileSave.h"
#include "ForegroundWatch.h"
#include "Policy.h"
#include "Records.h"
#include "RegistryStore.h"
#include "Sha256.h"
#include "StampLogFiles.h"
#include "Text.h"

bool StampLogWanted() {
  RegistryStore store;
  return StampLogOn(OptionSettings, ReadAdminPolicy(store));
}

std::wstring UserName() {
  wchar_t name[257] = {};
  DWORD size = 257;
  return GetUserNameW(name, &size) ? std::wstring(name) : std::wstring();
}

namespace {

// The local time and its offset from UTC, read at one instant.
StampMoment Now() {
  FILETIME utc{}, local{};
  GetSystemTimeAsFileTime(&utc);
  FileTimeToLocalFileTime(&utc, &local);
  SYSTEMTIME t{};
  FileTimeToSystemTime(&local, &t);
  const auto ticks = [](const FILETIME& f) {
    return static_cast<long long>((static_cast<unsigned long long>(f.dwHighDateTime) << 32) | f.dwLowDateTime);
  };
  const long long offsetMinutes = (ticks(local) - ticks(utc)) / 600000000LL;
  return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond, static_cast<int>(offsetMinutes)};
}

std::wstring ComputerName() {
  wchar_t name[MAX_COMPUTERNAME_LENGTH + 1] = {};
  DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
  return GetComputerNameW(name, &size) ? std::wstring(name, size) : std::wstring();
}

StampLogRecord RecordOf(const StampLabel& entry, StampTrigger trigger, const StampMoment& moment) {
  StampLogRecord record;
  const DocumentWindow document = CurrentDocumentWindow();
  record.time = LogTime(moment);
  record.user = Utf8FromWide(UserName());
  record.computer = Utf8FromWide(ComputerName());
  record.seal = std::string(Keyword(entry.seal));
  record.text = Utf8FromCp932(entry.text);
  record.trigger = std::string(Keyword(trigger));
  record.window = Utf8FromWide(document.title);
  record.exe = Utf8FromWide(document.exe);
  record.resolution = entry.resolution;
  record.mm = SizeInMm(entry.widthHundredthsMm, entry.heightHundredthsMm);
  record.picture = std::string(Keyword(entry.picture));
  record.sha256 = Sha256Hex(entry.pictureBytes);
  return record;
}

}  // namespace

StampLogResult RecordStamp(const StampLabel& label, StampTrigger trigger) {
  StampLogResult result;
  try {
    if (!StampLogWanted()) return result;
    result.status = StampLogResult::kNotKept;
    const StampMoment moment = Now();
    StampLogRecord record = RecordOf(label, trigger, moment);
    result.error = AppendStampRecord(moment.year, moment.month, record, result.file);
    if (result.error == ERROR_SUCCESS) result.status = StampLogResult::kKept;
  } catch (...) {
    // Out of memory, or no SHA-256 from the platform: the stamp stands.
    result.status = StampLogResult::kNotKept;
    if (result.error == ERROR_SUCCESS) result.error = ERROR_NOT_ENOUGH_MEMORY;
  }
  return result;
}

std::wstring StampLogNotice(const StampLogResult& result) {
  if (result.status != StampLogResult::kNotKept) return {};
  std::wstring notice = L"この押印は押印履歴に記録できませんでした。";
  if (!result.file.empty()) notice += L"\n" + result.file;
  return notice + L"\n" + SystemErrorText(result.error);
}
