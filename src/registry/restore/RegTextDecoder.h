// The text of a .reg file, given in pieces of bytes, turned into lines of
// packed text (RegEntries.h) with their leading blanks left out. The encoding
// is chosen by the byte-order mark (UTF-16LE, UTF-8; 8-bit ANSI without one).
// 8-bit text is split into lines on its bytes and only then converted from
// its code page, as the registry editor does: under a double-byte code page a
// lead byte at a line's end would otherwise swallow the line end and join the
// next line to a comment. A long line is converted in pieces cut between
// characters, so that no line is held twice.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace registry {

enum class TRegEncoding;

class TRegTextDecoder {
 public:
  // Each line's text is appended to `*line`; `endLine` is called at its end
  // (and may take and clear the text).
  TRegTextDecoder(std::string* line, std::function<void()> endLine);

  void Feed(const char* bytes, size_t n);
  // UTF-16 text with no mark.
  void FeedText(const wchar_t* text, size_t n);
  // Ends the last line.
  void Finish();

  // The bytes are no text of their encoding, or hold a NUL before their end
  // (NULs at the very end are padding): nothing of them may be trusted.
  bool Bad() const { return bad_; }
  TRegEncoding Encoding() const;

 private:
  enum class Kind { Unknown, Ansi, Utf8, Utf16 };
  void Start(const char* bytes, size_t n, bool atEnd);
  void Bytes(const char* bytes, size_t n);
  void Unit(unsigned unit);
  bool LineControl(unsigned unit);
  void ConvertPending(bool all);
  size_t SafeCut() const;

  std::string* line_;
  std::function<void()> endLine_;
  Kind kind_ = Kind::Unknown;
  UINT codePage_ = CP_ACP;
  std::string head_;            // the first bytes, until the mark is known
  std::string pending_;         // 8-bit bytes of the line not yet converted
  std::vector<wchar_t> wide_;   // their conversion
  int odd_ = -1;                // a UTF-16 byte waiting for its pair
  size_t nuls_ = 0;             // NULs seen, not yet known to be padding
  bool bad_ = false, afterCr_ = false, atStart_ = true, inLine_ = false;
};

}  // namespace registry
