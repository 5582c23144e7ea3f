#include "registry/NameIndex.h"

#include "sys/TextCompare.h"

namespace registry {

TNameIndex::TNameIndex(const std::vector<std::wstring>& names) {
  size_t total = 0;
  for (const auto& n : names) total += n.size() + 1;
  states_.reserve(2 * total + 1);
  edges_.reserve(3 * total + 1);
  NewState(0, -1);
  for (const auto& n : names) {
    for (wchar_t c : sys::UpperCase(n)) Add(c);
    Add(L'\\');
  }
}

bool TNameIndex::AnyContains(const std::wstring& text) const {
  if (text.empty() || text.find(L'\\') != std::wstring::npos) return false;
  int state = 0;
  for (wchar_t c : sys::UpperCase(text)) {
    state = Find(state, c);
    if (state < 0) return false;
  }
  return true;
}

int TNameIndex::Find(int state, wchar_t c) const {
  for (int e = states_[state].FirstEdge; e >= 0; e = edges_[e].Next)
    if (edges_[e].Char == c) return edges_[e].Target;
  return -1;
}

void TNameIndex::Set(int state, wchar_t c, int target) {
  for (int e = states_[state].FirstEdge; e >= 0; e = edges_[e].Next)
    if (edges_[e].Char == c) {
      edges_[e].Target = target;
      return;
    }
  edges_.push_back({c, target, states_[state].FirstEdge});
  states_[state].FirstEdge = static_cast<int>(edges_.size()) - 1;
}

int TNameIndex::NewState(int length, int link) {
  states_.push_back({link, length, -1});
  return static_cast<int>(states_.size()) - 1;
}

// The usual online construction, one character at a time.
void TNameIndex::Add(wchar_t c) {
  const int cur = NewState(states_[last_].Length + 1, 0);
  int p = last_;
  last_ = cur;
  for (; p >= 0 && Find(p, c) < 0; p = states_[p].Link) Set(p, c, cur);
  if (p < 0) return;
  const int q = Find(p, c);
  if (states_[p].Length + 1 == states_[q].Length) {
    states_[cur].Link = q;
    return;
  }
  const int clone = NewState(states_[p].Length + 1, states_[q].Link);
  for (int e = states_[q].FirstEdge; e >= 0; e = edges_[e].Next) Set(clone, edges_[e].Char, edges_[e].Target);
  for (; p >= 0 && Find(p, c) == q; p = states_[p].Link) Set(p, c, clone);
  states_[q].Link = clone;
  states_[cur].Link = clone;
}

}  // namespace registry
