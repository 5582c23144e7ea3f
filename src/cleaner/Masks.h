// File-name masks of the clean items ("*.dmp", "File*.chk", "memory.dmp") and
// the letter-case folding used wherever names are compared.
#pragma once
#include <string>

namespace cleaner {

// Upper-cases with the system's case table, so that names compare the way
// the file system compares them.
std::wstring UpperName(const std::wstring& text);
bool SameName(const std::wstring& a, const std::wstring& b);

// A mask holds at most one "*": the text before it must begin the name and
// the text after it must end the name, without overlapping ("ab*b" does not
// match "ab"). A second "*" is an ordinary character, so such a mask matches
// nothing, as does an empty mask. "*.*" matches every name. A mask without
// "*" names one file; letter case never counts.
class FileMask {
 public:
  explicit FileMask(const std::wstring& mask);

  bool Matches(const std::wstring& name) const;
  bool IsEmpty() const { return empty_; }
  bool IsWildcard() const { return wildcard_; }
  // Matches every name ("*.*" or "*").
  bool MatchesEverything() const { return all_; }

 private:
  std::wstring prefix_;  // upper-cased
  std::wstring suffix_;  // upper-cased; for an exact mask, the whole name
  bool empty_ = false;
  bool wildcard_ = false;
  bool all_ = false;
};

}  // namespace cleaner
