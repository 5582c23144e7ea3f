// The rules for the file and folder names a delete may be given.
#pragma once
#include <string>

namespace core {
namespace guard {

// "X:\..." or "\\server\share\..." as typed; nothing relative, no device or
// extended paths, no stream names ("C:\Windows::$INDEX_ALLOCATION" is the
// Windows folder by another name).
bool HasAcceptedForm(const std::wstring& path);
// A colon past the drive letter: the path names a stream of a file or folder.
bool HasStreamName(const std::wstring& path);
// The name ends in a dot or a space, which the system trims from a plain path
// so that "keep.dat." reaches "keep.dat".
bool EndsInDotOrSpace(const std::wstring& name);
// Any part of the path ends in a dot or a space.
bool HasTrimmedPart(const std::wstring& path);
// The name without the dots and spaces the system trims; empty when nothing stays.
std::wstring TrimmedName(const std::wstring& name);
// A full path taken as it is written ("\\?\" form) when the system would
// otherwise trim any of its parts; the path as given else.
std::wstring LiteralPath(const std::wstring& path);
// "\\?\C:\x" -> "C:\x", "\\?\UNC\s\x" -> "\\s\x".
std::wstring StripExtendedPrefix(const std::wstring& path);

}  // namespace guard
}  // namespace core
