// File sizes, the in-use test, the silent shell delete, short paths and
// shortcut targets.
#pragma once
#include <cstdint>
#include <string>

namespace core {

// 0 when the file does not exist (folders count as missing), -1 when it
// cannot be searched, else its size.
std::int64_t GetFileSize64(const std::wstring& FileName);
// The size of the first file the name finds; 0 when it finds none.
std::int64_t GetFileSizeByFind(const std::wstring& FileName);

// True when the existing file cannot be opened for reading and writing
// without sharing (in use, locked or read-only); false for a missing file.
bool IsFileInUse(const std::wstring& FileName);

// True for a full path below a drive or share root, free of wildcards, stream
// names and "." and ".." parts: the only kind ShellDeletePath accepts.
bool IsSafeDeletePath(const std::wstring& Path);
// Removes a file or a folder with its contents for good (not to the recycle
// bin), without any dialog. False for a refused path or a shell failure.
bool ShellDeletePath(const std::wstring& Path);

// The 8.3 form of an existing path; empty when it has none that fits MAX_PATH.
std::wstring GetShortPath(const std::wstring& Path);

// The target path of a shell link; empty when the link cannot be read.
// Raises ComError when the shell link object cannot be created. Leaves COM
// initialised on the calling thread.
std::wstring GetShortcutTarget(const std::wstring& LinkFile);

}  // namespace core
