// What the index.dat viewer shows and does, without its window: the default
// file, the check of a typed name, the load with progress, the date texts,
// and the scrub behind the hidden Delete.
#pragma once
#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

#include "cleaner/indexdat/IndexDatFile.h"
#include "cleaner/indexdat/IndexDatRows.h"

namespace indexdat {

extern const wchar_t kViewerCaption[];        // "Index.dat file viewer"
extern const wchar_t kViewerHint[];           // "Double click the item to link to the URL"
extern const wchar_t kBadFileNameMessage[];   // "Please enter the correct index.dat file name."
extern const wchar_t kNotAvailable[];         // "Not Available"
extern const wchar_t kNotIndexDatMessage[];   // the file lacks the cache signature
extern const wchar_t kOutOfMemoryMessage[];   // the load ran out of memory
extern const wchar_t kLoadFailedMessage[];    // any other failure of the load
extern const wchar_t kNotWebAddressMessage[]; // a double click on a text that is no web address

// How often a load reports its progress (and lets its window answer).
constexpr uint64_t kReportInterval = 50;  // milliseconds

// The cache folder's "Content.IE5\index.dat".
std::wstring DefaultIndexDatPath();
// An existing file whose extension is ".dat" in any case.
bool IsIndexDatFileName(const std::wstring& path);

// The local time of a FILETIME when every field is in range; false otherwise.
bool FileTimeToDateTimeChecked(uint64_t fileTime, SYSTEMTIME* local);
// The user's short date and time, the time left out at midnight; "Not Available"
// for a date out of range.
std::wstring DateText(uint64_t fileTime);
// The widest date text this user's formats give, for sizing a column.
std::wstring WidestDateText();
// A URL's 8-bit text (the system code page) as shown.
std::wstring UrlText(std::string_view url);

uint64_t TickClock();

// Reads the file and lists its rows. `report` gets the percentage read every
// kReportInterval of `clock`, and 100 at the end of a load it did not stop.
// A file without the cache signature gives NotCacheFile and no rows; one that
// cannot be read gives its status and no rows. Throws std::bad_alloc when
// memory runs out.
FileStatus LoadIndexDatRows(const std::wstring& path, int imageIndex, const LoadPacer::Report& report,
                            ViewerRows* rows);
FileStatus RowsFromBytes(std::vector<uint8_t> bytes, int imageIndex, const LoadPacer::Report& report,
                         ViewerRows* rows, const LoadPacer::Clock& clock = TickClock);

// The hidden Delete: scrubs the file in place with the options' wipe passes
// (1 to 3). Only a file that starts with the cache signature is written.
ScrubResult ScrubViewerFile(const std::wstring& path);

}  // namespace indexdat
