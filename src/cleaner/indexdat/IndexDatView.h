// What the index.dat viewer shows and does, without its window: the default
// file, the check of a typed name, the two-pass load with progress, the date
// texts, and the scrub behind the hidden Delete.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "cleaner/indexdat/IndexDatFile.h"

namespace indexdat {

extern const wchar_t kViewerCaption[];       // "Index.dat file viewer"
extern const wchar_t kBadFileNameMessage[];  // "Please enter the correct index.dat file name."
extern const wchar_t kNotAvailable[];        // "Not Available"

// The cache folder's "Content.IE5\index.dat".
std::wstring DefaultIndexDatPath();
// An existing file whose extension is ".dat" in any case.
bool IsIndexDatFileName(const std::wstring& path);

// The local time of a FILETIME when every field is in range; false otherwise.
bool FileTimeToDateTimeChecked(uint64_t fileTime, SYSTEMTIME* local);
// The user's short date and time, the time left out at midnight; "Not Available"
// for a date out of range.
std::wstring DateText(uint64_t fileTime);

struct ViewerRows {
  std::vector<std::wstring> urls;
  std::vector<std::wstring> dates;  // entry i belongs to urls[i]
  std::vector<int> images;
};

// Progress 0..100 as the entries are read; returning false stops the load.
using LoadProgress = std::function<bool(int percent)>;

// Pass 1 counts the entries of the table chain, pass 2 reads them, calling
// `progress` each time the percentage grows (and once with 100 at the end).
// A file that cannot be read gives no rows.
ViewerRows LoadIndexDatRows(const std::wstring& path, int imageIndex, const LoadProgress& progress);
ViewerRows RowsFromBytes(const std::vector<uint8_t>& bytes, int imageIndex, const LoadProgress& progress);

// The hidden Delete: scrubs the file in place with the options' wipe passes
// (1 to 3). Only a file that starts with the cache signature is written.
ScrubResult ScrubViewerFile(const std::wstring& path);

}  // namespace indexdat
