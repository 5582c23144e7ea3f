// The text of a .reg file, given in pieces of bytes, turned into lines of
// packed text (RegEntries.h) with their leading blanks left out. The encoding
// is chosen by the byte-order mark (UTF-16LE, UTF-8; 8-bit ANSI without one).
// 8-bit text is split into lines on its bytes and kept in its own bytes, as
// the registry editor splits it before it converts each line: under a
// double-byte code page a lead byte at a line's end would otherwise swallow
// the line end and join the next line to a comment. Marked UTF-8 is checked
// in pieces cut between characters, so that no line is held twice.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

#include "registry/restore/RegEntries.h"

namespace registry {

enum class TRegEncoding;

class TRegTextDecoder {
 public:
  // Each line's text is appended to `*line`; `endLine` is called at its end
  // (and may take and clear the text).
  TRegTextDecoder(std::string* line, std::function<void()> endLine);

  void Feed(const char* bytes, size_t n);
  // Ends the last line.
  void Finish();

  // The bytes are no text of their encoding, or hold a NUL before their end
  // (NULs at the very end are padding): nothing of them may be trusted.
  bool Bad() const { return bad_; }
  TRegEncoding Encoding() const;
  // The form of the packed text (RegEntries.h).
  UINT PackedCodePage() const { return kind_ == Kind::Utf16 ? kPackedUnits : codePage_; }

 private:
  enum class Kind { Unknown, Ansi, Utf8, Utf16 };
  void Start(const char* bytes, size_t n, bool atEnd);
  void Bytes(const char* bytes, size_t n);
  void Byte(unsigned char b);
  void Unit(unsigned unit);
  void Char(unsigned c);
  bool LineControl(unsigned unit);
  void CheckPending(bool all);
  size_t Utf8Cut() const;

  std::string* line_;
  std::function<void()> endLine_;
  Kind kind_ = Kind::Unknown;
  UINT codePage_ = CP_ACP;
  TLeadBytes leads_;
  std::string head_;            // the first bytes, until the mark is known
  std::string pending_;         // UTF-8 bytes of the line not yet checked
  int lead_ = -1;               // a lead byte waiting for its trail
  int odd_ = -1;                // a UTF-16 byte waiting for its pair
  size_t nuls_ = 0;             // NULs seen, not yet known to be padding
  bool bad_ = false, afterCr_ = false, atStart_ = true, inLine_ = false;
};

}  // namespace registry
