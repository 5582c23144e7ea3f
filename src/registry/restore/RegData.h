// What a value line of a .reg file sets: the type and the bytes the registry
// editor makes of its data, read as the editor reads them, so that a check
// compares typed data and never one of the several ways to spell it.
#pragma once
#include <windows.h>

#include <cstddef>
#include <string_view>

#include "registry/restore/RegEntries.h"

namespace registry {

// Takes the bytes of a value's data in order, a piece at a time.
class TRegDataSink {
 public:
  virtual void Put(const BYTE* bytes, size_t n) = 0;

 protected:
  ~TRegDataSink() = default;
};

// The data after "=" (continued lines joined): quoted text (REG_SZ),
// dword:, hex: or hex(N):. False for data the editor does not import;
// otherwise its type in *type and its bytes given to `sink`. Text types in
// hex (1, 2, 7) are ended by a NUL when they lack one; in a file that is not
// UTF-16 their bytes are ANSI text, which the editor converts.
bool ReadRegData(TPackedUnits& text, bool unicodeFile, DWORD* type, TRegDataSink& sink);

// Where the editor goes on reading hex data in the next line: the place of
// the "\" in `packed` that makes it go on, npos where the data ends. That
// "\" stands where a byte could, after "hex:", "hex(N):" or a comma, with
// only blanks or a comment after it, and all before it is data the editor
// reads. `packed` is a value's data after "=" (`valueLine`), or a later line
// of that data, leading blanks left out, where a "\" may not come first.
size_t HexGoesOnAt(std::string_view packed, bool valueLine);

}  // namespace registry
