// "Does any of these key names contain this text?", ignoring letter case,
// asked once per class or interface against thousands of names. Asking each
// name in turn makes a scan quadratic; the index answers in one step per
// character of the text.
#pragma once
#include <string>
#include <vector>

namespace registry {

class TNameIndex {
 public:
  explicit TNameIndex(const std::vector<std::wstring>& names);
  // False for an empty text, which no name is taken to contain.
  bool AnyContains(const std::wstring& text) const;

 private:
  // A suffix automaton over all names upper-cased, each closed by a
  // backslash (no key name holds one): a text without a backslash is a
  // substring of that chain exactly when it lies inside one name.
  struct TState {
    int Link;
    int Length;
    int FirstEdge;
  };
  struct TEdge {
    wchar_t Char;
    int Target;
    int Next;
  };
  int Find(int state, wchar_t c) const;
  void Set(int state, wchar_t c, int target);
  int NewState(int length, int link);
  void Add(wchar_t c);

  std::vector<TState> states_;
  std::vector<TEdge> edges_;
  int last_ = 0;
};

}  // namespace registry
