#include "cleaner/indexdat/IndexDatView.h"

#include <cwctype>

#include "core/Options.h"
#include "core/Paths.h"

namespace indexdat {

const wchar_t kViewerCaption[] = L"Index.dat file viewer";
const wchar_t kBadFileNameMessage[] = L"Please enter the correct index.dat file name.";
const wchar_t kNotAvailable[] = L"Not Available";

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

// The URL as stored is 8-bit text of the system code page.
std::wstring UrlText(const std::string& url) {
  if (url.empty()) return {};
  int n = ::MultiByteToWideChar(CP_ACP, 0, url.data(), static_cast<int>(url.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(n), L'\0');
  if (n > 0) ::MultiByteToWideChar(CP_ACP, 0, url.data(), static_cast<int>(url.size()), &out[0], n);
  return out;
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

ViewerRows RowsFromBytes(const std::vector<uint8_t>& bytes, int imageIndex, const LoadProgress& progress) {
  ViewerRows rows;
  const uint8_t* data = bytes.data();
  uint64_t total = EntryCount(ReadLayout(data, bytes.size()));
  uint64_t count = 0;
  int shown = 0;
  bool stopped = false;
  EntryCallback onEntry = [&]() {
    ++count;
    int percent = total == 0 ? 0 : static_cast<int>(count * 100 / total);
    if (percent <= shown) return true;
    shown = percent;
    stopped = progress && !progress(percent);
    return !stopped;
  };
  for (const Record& record : ReadRecords(data, bytes.size(), onEntry)) {
    if (!record.hasUrl || record.url.empty()) continue;
    rows.urls.push_back(UrlText(record.url));
    rows.dates.push_back(DateText(record.fileTime));
    rows.images.push_back(imageIndex);
  }
  if (!stopped && progress) progress(100);
  return rows;
}

ViewerRows LoadIndexDatRows(const std::wstring& path, int imageIndex, const LoadProgress& progress) {
  std::vector<uint8_t> bytes;
  if (ReadIndexDat(path, &bytes) != FileStatus::Done) {
    if (progress) progress(100);
    return {};
  }
  return RowsFromBytes(bytes, imageIndex, progress);
}

ScrubResult ScrubViewerFile(const std::wstring& path) {
  const core::TOptionsSetting& o = core::OptionsSetting;
  return ScrubIndexDat(path, o.IsWipeFile ? o.WipeNumber : 0);
}

}  // namespace indexdat
