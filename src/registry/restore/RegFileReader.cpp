#include "registry/restore/RegFileReader.h"

#include <algorithm>
#include <new>
#include <string_view>

#include "core/guard/RegistryGuard.h"
#include "registry/restore/RegData.h"
#include "registry/restore/RegTextDecoder.h"

namespace registry {
namespace {

// Every function here but the last few works on packed text (RegEntries.h),
// where each byte of the .reg syntax is its own character.
using View = std::string_view;

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

View TrimLeft(View s) {
  size_t i = 0;
  while (i < s.size() && IsBlank(s[i])) ++i;
  return s.substr(i);
}

View TrimRight(View s) {
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

View Trim(View s) { return TrimRight(TrimLeft(s)); }

bool IsSignature(View line) {
  const View t = Trim(line);
  return t == "REGEDIT4" || t == "Windows Registry Editor Version 5.00";
}

bool StartsValue(View logical) { return !logical.empty() && (logical[0] == '"' || logical[0] == '@'); }

struct TParsed {
  bool IsKey = false;
  bool Deletes = false;
  View Key;   // a header's key
  View Name;  // a value's name as written between its quotes, escapes kept
  View Data;  // a value's data
};

// "[" key "]": the key up to the last "]", spelled as the file spells it:
// blanks before the "]" belong to the name, as the editor keeps them, and a
// key after blanks names no key the editor opens (it passes over such a
// header). Without a "]" the key goes to the line's end, trimmed. A "-"
// after blanks is still read as a delete.
void ParseHeader(View logical, TParsed* e) {
  View rest = logical.substr(1);
  const View trimmed = TrimLeft(rest);
  e->IsKey = true;
  e->Deletes = !trimmed.empty() && trimmed[0] == '-';
  if (e->Deletes) rest = TrimLeft(trimmed.substr(1));
  size_t close = rest.rfind(']');
  e->Key = close == View::npos ? TrimRight(rest) : rest.substr(0, close);
}

// A quoted name from `s[1]` on; `end` is set after its closing quote. A
// backslash takes the next character into the name; the name is unescaped
// only when it is unpacked, so that it is never copied here.
bool ParseQuotedName(View s, View* name, size_t* end) {
  size_t i = 1;
  while (i < s.size() && s[i] != '"') i += s[i] == '\\' && i + 1 < s.size() ? 2 : 1;
  *name = s.substr(1, i - 1);
  *end = i + 1;
  return i < s.size();
}

// "@" or a quoted name, blanks, "=", blanks, the data.
bool ParseValue(View logical, TParsed* e) {
  size_t at = 1;
  if (logical[0] == '"' && !ParseQuotedName(logical, &e->Name, &at)) return false;
  while (at < logical.size() && IsBlank(logical[at])) ++at;
  if (at >= logical.size() || logical[at] != '=') return false;
  e->Data = Trim(logical.substr(at + 1));
  // Only "-" deletes; no data form starts with one, so any such line is read as a delete.
  e->Deletes = !e->Data.empty() && e->Data[0] == '-';
  return true;
}

// One logical line (leading blanks removed) as an entry; false for blank,
// comment and unknown lines.
bool ParseEntry(View logical, TParsed* e) {
  if (logical.empty()) return false;
  if (logical[0] == '[') {
    ParseHeader(logical, e);
    return true;
  }
  return StartsValue(logical) && ParseValue(logical, e);
}

// A line judged alone: a deleting header or value, or any value-like line
// that ends in "=" and "-" however its name reads. A lone "\" after "=" is
// read as one too: an editor that went on from it into a line starting
// with "-" would delete.
bool PhysicalLineDeletes(View line) {
  TParsed e;
  const View t = Trim(line);
  if (ParseEntry(t, &e) && e.Deletes) return true;
  size_t eq = t.rfind('=');
  const View data = eq == View::npos ? View() : Trim(t.substr(eq + 1));
  return StartsValue(t) && (data == "-" || data == "\\");
}

// Takes the file's lines one by one as the decoder ends them. Only the
// logical line being read is held: hex data the editor reads on over many
// lines is joined once, in place, and each entry is packed as soon as it is
// whole.
class TRegParser {
 public:
  explicit TRegParser(TRegFile* f) : f_(f) {}
  std::string* Text() { return &logical_; }
  void EndLine();
  void Finish();

 private:
  size_t GoesOnAt() const;
  void Emit();
  void Deleting(int line);

  TRegFile* f_;
  std::string logical_;
  size_t physicalStart_ = 0;
  int line_ = 0, first_ = 0;
  bool continuing_ = false;
};

// Where the logical line's hex data goes on in the next line, as the editor
// goes on: the place of its "\" in logical_, npos where the line ends. Only
// the last physical line is looked at, so that long data costs time in step
// with its length.
size_t TRegParser::GoesOnAt() const {
  const View text(logical_);
  View data = text.substr(physicalStart_);
  TParsed e;
  if (!continuing_) {
    if (!StartsValue(text) || !ParseValue(text, &e)) return View::npos;
    data = e.Data;
  }
  const size_t at = HexGoesOnAt(data, !continuing_);
  return at == View::npos ? at : static_cast<size_t>(data.data() - text.data()) + at;
}

void TRegParser::EndLine() {
  ++line_;
  const View physical = View(logical_).substr(physicalStart_);
  if (line_ == 1) f_->KnownSignature = IsSignature(physical);
  if (PhysicalLineDeletes(physical)) Deleting(line_);
  if (!continuing_) first_ = line_;
  // The editor reads hex data on past blank lines and ";" comments.
  if (continuing_ && (physical.empty() || physical[0] == ';')) {
    logical_.resize(physicalStart_);
    return;
  }
  const size_t at = GoesOnAt();
  continuing_ = at != View::npos;
  if (continuing_) {
    logical_.resize(at);
    physicalStart_ = at;
  } else {
    Emit();
  }
}

// Only the first few are kept, in order, each once (a line is found alone
// and as its entry; a continued entry's first line comes out of order).
void TRegParser::Deleting(int line) {
  std::deque<int>& lines = f_->DeletingLines;
  auto at = std::lower_bound(lines.begin(), lines.end(), line);
  if (at != lines.end() && *at == line) return;
  if (lines.size() == kKeptDeletingLines && at == lines.end()) return;
  lines.insert(at, line);
  if (lines.size() > kKeptDeletingLines) lines.pop_back();
}

void TRegParser::Emit() {
  TParsed e;
  if (ParseEntry(logical_, &e)) {
    if (e.IsKey) f_->Entries.AddKey(first_, e.Deletes, e.Key);
    else f_->Entries.AddValue(first_, e.Deletes, e.Name, e.Data);
    if (e.Deletes) Deleting(first_);
  }
  physicalStart_ = 0;
  logical_.clear();
  // A very long line gives its room back.
  if (logical_.capacity() > (1u << 20)) std::string().swap(logical_);
}

void TRegParser::Finish() {
  // The file ended while hex data went on: the editor sets what it read.
  if (continuing_) Emit();
}

// Runs the decoder and the parser over what `feed` hands the decoder; false
// from `feed` (the file could not be read) leaves nothing.
template <class Feed>
TRegFile Parse(Feed feed) {
  TRegFile f;
  try {
    TRegParser parser(&f);
    TRegTextDecoder decoder(parser.Text(), [&parser] { parser.EndLine(); });
    if (!feed(decoder)) return {};
    decoder.Finish();
    if (decoder.Bad()) return {};
    parser.Finish();
    f.Entries.SetCodePage(decoder.PackedCodePage());
    f.Decoded = true;
    f.Encoding = decoder.Encoding();
  } catch (const std::bad_alloc&) {
    // Below the size limit a file can still need more memory than the
    // program has left: it is refused for that.
    f = TRegFile{};
    f.OutOfMemory = true;
  }
  return f;
}

const struct {
  const wchar_t* name;
  HKEY root;
} kShortRoots[] = {{L"HKLM", HKEY_LOCAL_MACHINE}, {L"HKCU", HKEY_CURRENT_USER}, {L"HKCR", HKEY_CLASSES_ROOT},
                   {L"HKU", HKEY_USERS},          {L"HKCC", HKEY_CURRENT_CONFIG}};

HKEY RootFromName(const std::wstring& name) {
  for (const auto& r : kShortRoots)
    if (::CompareStringOrdinal(name.c_str(), -1, r.name, -1, TRUE) == CSTR_EQUAL) return r.root;
  return core::guard::RootKeyFromName(name);
}

}  // namespace

TRegFile ParseRegBytes(const std::string& bytes) {
  return Parse([&bytes](TRegTextDecoder& d) {
    d.Feed(bytes.data(), bytes.size());
    return true;
  });
}

TRegRead ReadRegFile(const std::wstring& file, TRegFile* out, HANDLE* keepOpen) {
  *out = TRegFile{};
  // Shared for reading only: while the handle is kept, nobody can change the file.
  HANDLE h = ::CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return TRegRead::Unreadable;
  LARGE_INTEGER size{};
  TRegRead result = ::GetFileSizeEx(h, &size) ? TRegRead::Read : TRegRead::Unreadable;
  if (result == TRegRead::Read && size.QuadPart > kMaxRegFileBytes) result = TRegRead::TooLarge;
  if (result == TRegRead::Read) {
    // Read in pieces: the file's bytes are never held whole.
    *out = Parse([h, &result](TRegTextDecoder& d) {
      std::string piece(1u << 20, '\0');
      for (DWORD got = 0; !d.Bad(); d.Feed(piece.data(), got)) {
        if (!::ReadFile(h, &piece[0], static_cast<DWORD>(piece.size()), &got, nullptr)) result = TRegRead::Unreadable;
        if (got == 0 || result != TRegRead::Read) break;
      }
      return result == TRegRead::Read;
    });
    if (out->OutOfMemory) result = TRegRead::NoMemory;
  }
  if (result == TRegRead::Read && keepOpen != nullptr) *keepOpen = h;
  else ::CloseHandle(h);
  return result;
}

bool SplitRegKeyPath(const std::wstring& key, HKEY* root, std::wstring* subKey) {
  size_t slash = key.find(L'\\');
  *root = RootFromName(key.substr(0, slash));
  *subKey = slash == std::wstring::npos ? std::wstring() : key.substr(slash + 1);
  return *root != nullptr;
}

}  // namespace registry
