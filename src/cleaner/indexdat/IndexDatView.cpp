#include "cleaner/indexdat/IndexDatView.h"

#include <cwctype>
#include <functional>
#include <utility>

#include "core/Options.h"
#include "core/Paths.h"

namespace indexdat {

const wchar_t kViewerCaption[] = L"Index.dat file viewer";
const wchar_t kBadFileNameMessage[] = L"Please enter the correct index.dat file name.";
const wchar_t kNotAvailable[] = L"Not Available";
const wchar_t kViewerHint[] = L"Double click the item to link to the URL";
const wchar_t kNotIndexDatMessage[] = L"This file is not an index.dat file: it holds no cache index to list.";
const wchar_t kOutOfMemoryMessage[] = L"There is not enough memory to list this file.";
const wchar_t kLoadFailedMessage[] = L"This file could not be listed.";
const wchar_t kNotWebAddressMessage[] =
    L"Only http://, https:// and ftp:// addresses are opened. This record holds other text, so nothing was started.";

namespace {

std::wstring Upper(std::wstring s) {
  for (auto& c : s) c = static_cast<wchar_t>(std::towupper(c));
  return s;
}

std::wstring LocaleText(const SYSTEMTIME& st, bool date) {
  wchar_t buf[128] = {};
  int n = date ? ::GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, buf, 128)
               : ::GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &st, nullptr, buf, 128);
  return n > 0 ? std::wstring(buf) : std::wstring();
}

}  // namespace

std::wstring DefaultIndexDatPath() {
  std::wstring folder = core::GetInternetCachePath();
  if (!folder.empty() && folder.back() != L'\\') folder += L'\\';
  return folder + L"Content.IE5\\index.dat";
}

bool IsIndexDatFileName(const std::wstring& path) {
  if (path.size() < 4 || Upper(path.substr(path.size() - 4)) != L".DAT") return false;
  DWORD attributes = ::GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool FileTimeToDateTimeChecked(uint64_t fileTime, SYSTEMTIME* local) {
  FILETIME utc{static_cast<DWORD>(fileTime), static_cast<DWORD>(fileTime >> 32)};
  FILETIME localTime;
  if (!::FileTimeToLocalFileTime(&utc, &localTime) || !::FileTimeToSystemTime(&localTime, local)) return false;
  // A zero FILETIME is 1601, which no page was ever visited at.
  return local->wYear > 1601 && local->wYear < 2501 && local->wMonth < 13 && local->wDayOfWeek < 8 &&
         local->wDay < 32 && local->wHour < 25 && local->wMinute < 61 && local->wSecond < 61 &&
         local->wMilliseconds < 1001;
}

std::wstring DateText(uint64_t fileTime) {
  SYSTEMTIME st;
  if (!FileTimeToDateTimeChecked(fileTime, &st)) return kNotAvailable;
  std::wstring text = LocaleText(st, true);
  bool midnight = st.wHour == 0 && st.wMinute == 0 && st.wSecond == 0 && st.wMilliseconds == 0;
  if (!midnight) text += L" " + LocaleText(st, false);
  return text;
}

std::wstring WidestDateText() {
  // Two-digit fields and an afternoon hour give the widest text of most
  // formats; each month is tried for formats that spell it.
  std::wstring widest = kNotAvailable;
  for (WORD month = 1; month <= 12; ++month) {
    SYSTEMTIME st{2026, month, 3, 28, 23, 58, 58, 0};
    std::wstring text = LocaleText(st, true) + L" " + LocaleText(st, false);
    if (text.size() > widest.size()) widest = text;
  }
  return widest;
}

std::wstring UrlText(std::string_view url) {
  if (url.empty()) return {};
  int n = ::MultiByteToWideChar(CP_ACP, 0, url.data(), static_cast<int>(url.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(n > 0 ? n : 0), L'\0');
  if (n > 0) ::MultiByteToWideChar(CP_ACP, 0, url.data(), static_cast<int>(url.size()), &out[0], n);
  return out;
}

uint64_t TickClock() { return ::GetTickCount64(); }

FileStatus RowsFromBytes(std::vector<uint8_t> bytes, int imageIndex, const LoadPacer::Report& report,
                         ViewerRows* rows, const LoadPacer::Clock& clock) {
  *rows = ViewerRows();
  if (!HasCacheSignature(bytes.data(), bytes.size())) return FileStatus::NotCacheFile;
  uint64_t total = EntryCount(ReadLayout(bytes.data(), bytes.size()));
  LoadPacer pacer(total, clock, kReportInterval, report ? report : [](int) { return true; });
  *rows = ViewerRows(std::move(bytes), imageIndex, std::ref(pacer));
  if (!pacer.Stopped() && report) report(100);
  return FileStatus::Done;
}

FileStatus LoadIndexDatRows(const std::wstring& path, int imageIndex, const LoadPacer::Report& report,
                            ViewerRows* rows) {
  *rows = ViewerRows();
  std::vector<uint8_t> bytes;
  FileStatus read = ReadIndexDat(path, &bytes);
  if (read != FileStatus::Done) return read;
  return RowsFromBytes(std::move(bytes), imageIndex, report, rows);
}

ScrubResult ScrubViewerFile(const std::wstring& path) {
  const core::TOptionsSetting& o = core::OptionsSetting;
  return ScrubIndexDat(path, o.IsWipeFile ? o.WipeNumber : 0);
}

}  // namespace indexdat
