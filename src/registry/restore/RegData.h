// What a value line of a .reg file sets: the type and the bytes the registry
// editor makes of its data, read as the editor reads them, so that a check
// compares typed data and never one of the several ways to spell it.
#pragma once
#include <windows.h>

#include <cstddef>

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

}  // namespace registry
