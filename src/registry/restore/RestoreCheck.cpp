#include "registry/restore/RestoreCheck.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>

#include "registry/fix/RegExport.h"
#include "registry/restore/RegData.h"
#include "registry/restore/RestoreRun.h"

namespace registry {
namespace {

// No key path or value name is longer than a counted string of the system
// holds (32767 units), and packed text takes at most three bytes a unit: a
// longer one cannot be in the registry, and is never unpacked.
constexpr size_t kMaxNameUnits = 32767;
constexpr size_t kMaxNamePacked = 3 * kMaxNameUnits;

// A value read into one buffer of our own. The registry's own reading
// routine copies the data through a second buffer of its size, which for a
// long value doubles what the check holds; the system's call underneath it
// does not.
class TValueReader {
 public:
  TValueReader() : buffer_(4096) {
    HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    query_ = ntdll ? reinterpret_cast<TQuery>(reinterpret_cast<void*>(::GetProcAddress(ntdll, "NtQueryValueKey")))
                   : nullptr;
  }
  // The value `name` of `key`: its type, and its bytes at *data.
  bool Read(HKEY key, const std::wstring& name, DWORD* type, const BYTE** data, size_t* size);

 private:
  struct TUnicodeName {
    USHORT Length, MaximumLength;
    PCWSTR Buffer;
  };
  // KEY_VALUE_PARTIAL_INFORMATION
  struct TInfo {
    ULONG TitleIndex, Type, DataLength;
  };
  using TQuery = LONG(NTAPI*)(HANDLE, const TUnicodeName*, int, void*, ULONG, ULONG*);
  static constexpr int kPartialInformation = 2;
  static constexpr LONG kBufferOverflow = static_cast<LONG>(0x80000005), kBufferTooSmall = static_cast<LONG>(0xC0000023);
  TQuery query_;
  std::vector<BYTE> buffer_;
};

bool TValueReader::Read(HKEY key, const std::wstring& name, DWORD* type, const BYTE** data, size_t* size) {
  if (query_ == nullptr) {
    DWORD got = static_cast<DWORD>(buffer_.size());
    LONG rc = ::RegQueryValueExW(key, name.c_str(), nullptr, type, buffer_.data(), &got);
    if (rc == ERROR_MORE_DATA) {
      buffer_.resize(got);
      rc = ::RegQueryValueExW(key, name.c_str(), nullptr, type, buffer_.data(), &got);
    }
    *data = buffer_.data();
    *size = got;
    return rc == ERROR_SUCCESS;
  }
  const TUnicodeName n{static_cast<USHORT>(name.size() * sizeof(wchar_t)),
                       static_cast<USHORT>(name.size() * sizeof(wchar_t)), name.c_str()};
  ULONG need = 0;
  LONG status = query_(key, &n, kPartialInformation, buffer_.data(), static_cast<ULONG>(buffer_.size()), &need);
  if ((status == kBufferOverflow || status == kBufferTooSmall) && need > buffer_.size()) {
    buffer_.clear();
    buffer_.shrink_to_fit();
    buffer_.resize(need);
    status = query_(key, &n, kPartialInformation, buffer_.data(), static_cast<ULONG>(buffer_.size()), &need);
  }
  if (status < 0) return false;
  TInfo info;
  std::memcpy(&info, buffer_.data(), sizeof(info));
  // The data follows the three fields.
  if (info.DataLength > buffer_.size() - sizeof(info)) return false;
  *type = info.Type;
  *data = buffer_.data() + sizeof(info);
  *size = info.DataLength;
  return true;
}

// Compares the bytes it is given with the registry's, as they come.
class TSameBytes : public TRegDataSink {
 public:
  TSameBytes(const BYTE* want, size_t size) : want_(want), size_(size) {}
  void Put(const BYTE* bytes, size_t n) override {
    same_ = same_ && n <= size_ - at_ && std::memcmp(want_ + at_, bytes, n) == 0;
    if (same_) at_ += n;
  }
  bool Equal() const { return same_ && at_ == size_; }

 private:
  const BYTE* want_;
  size_t size_, at_ = 0;
  bool same_ = true;
};

// A name as a message shows it, made from its packed text without unpacking
// all of it: its start and its end around "...", pairs kept whole.
class TShortName {
 public:
  void Add(wchar_t c) {
    ++count_;
    if (head_.size() < kMessageNameChars) head_ += c;
    else tail_[(count_ - 1) % kTail] = c;
  }
  std::wstring Text() const {
    if (count_ <= kMessageNameChars) return head_;
    size_t head = kMessageNameChars * 2 / 3;
    std::wstring end;
    for (size_t i = count_ - kTail; i < count_; ++i)
      end += i < kMessageNameChars ? head_[i] : tail_[i % kTail];
    if (IS_HIGH_SURROGATE(head_[head - 1])) --head;
    if (IS_LOW_SURROGATE(end[0])) end.erase(0, 1);
    return head_.substr(0, head) + L"..." + end;
  }

 private:
  static constexpr size_t kTail = kMessageNameChars - kMessageNameChars * 2 / 3 - 3;
  std::wstring head_;
  wchar_t tail_[kTail] = {};
  size_t count_ = 0;
};

// Each key is one entry however many sections name it: the fix writes a
// header before every value it saves, and the values of one key are not
// always together. Sections are noted as they come (a repeat of the one just
// noted is not) and told apart by sorting, at the cost of an index for each
// noted; no hash table, whose collisions a file could choose. A key is
// missing when any section of it found it missing. Keys are told apart as
// the file spells them, as the fix always spells a key the same way.
class TKeyCount {
 public:
  explicit TKeyCount(const TRegEntries& entries) : entries_(entries) {}
  void Note(size_t entry, std::string_view key, bool missing) {
    if (!noted_.empty() && key == last_ && missing == lastMissing_) return;
    noted_.push_back(static_cast<uint32_t>(entry << 1 | (missing ? 1 : 0)));
    last_ = key;
    lastMissing_ = missing;
  }
  // Adds the keys to the entries and the missing ones to the missing.
  void AddTo(TRestoreCheck* r) {
    auto key = [this](uint32_t noted) { return entries_.PackedKey(noted >> 1); };
    std::sort(noted_.begin(), noted_.end(), [&key](uint32_t a, uint32_t b) { return key(a) < key(b); });
    for (size_t i = 0, j = 0; i < noted_.size(); i = j) {
      bool missing = false;
      for (j = i; j < noted_.size() && key(noted_[j]) == key(noted_[i]); ++j) missing = missing || (noted_[j] & 1) != 0;
      ++r->Entries;
      r->Missing += missing ? 1 : 0;
    }
  }

 private:
  const TRegEntries& entries_;
  std::vector<uint32_t> noted_;  // entry << 1 | missing
  std::string_view last_;
  bool lastMissing_ = false;
};

class TChecker {
 public:
  TChecker(const TRegEntries& entries, bool unicodeFile, TRestoreCheck* r)
      : entries_(entries), unicode_(unicodeFile), r_(r), keys_(entries) {}
  ~TChecker() { CloseKey(); }
  void Entry(const TRegEntries::TRaw& e);
  void Finish() { keys_.AddTo(r_); }

 private:
  void Header(const TRegEntries::TRaw& e);
  void KeyEntry(const TRegEntries::TRaw& e, size_t index);
  bool ValueIsBack(const TRegEntries::TRaw& e);
  bool Name(std::string_view packed, bool unescape, std::wstring* out) const;
  std::wstring Shown(std::string_view packed, bool unescape) const;
  void CloseKey();

  const TRegEntries& entries_;
  const bool unicode_;
  TRestoreCheck* r_;
  bool inSection_ = false;
  std::string_view sectionKey_;
  HKEY key_ = nullptr;  // the section's key; null when it is not there
  std::wstring path_, name_;
  TValueReader values_;
  TKeyCount keys_;
  size_t index_ = 0;                        // of the entry being checked
  std::vector<std::string_view> namedKeys_;  // the keys FirstMissing names
};

void TChecker::CloseKey() {
  if (key_ != nullptr) ::RegCloseKey(key_);
  key_ = nullptr;
}

// The unpacked name, unescaped if asked; false for one that no registry
// name can be (too long, or an escape the editor refuses).
bool TChecker::Name(std::string_view packed, bool unescape, std::wstring* out) const {
  out->clear();
  if (packed.size() > kMaxNamePacked) return false;
  TPackedUnits units(packed, entries_.CodePage(), entries_.Leads());
  TRegUnescape escapes;
  for (wchar_t u, c; units.Next(&u);)
    if (!unescape || escapes.Put(u, &c)) *out += unescape ? c : u;
  return out->size() <= kMaxNameUnits && (!unescape || escapes.Valid());
}

std::wstring TChecker::Shown(std::string_view packed, bool unescape) const {
  TPackedUnits units(packed, entries_.CodePage(), entries_.Leads());
  TRegUnescape escapes;
  TShortName shown;
  for (wchar_t u, c; units.Next(&u);)
    if (!unescape || escapes.Put(u, &c)) shown.Add(unescape ? c : u);
  return shown.Text();
}

void TChecker::Header(const TRegEntries::TRaw& e) {
  const bool spoiled = !e.First.empty() && e.First[0] == kSpoiledRootChar;
  inSection_ = !spoiled;
  if (spoiled) ++r_->Spoiled;
  // The fix writes a header before every value it saves: the key of the
  // section before, when it is the same, stays open.
  if (key_ != nullptr && !e.Deletes && e.First == sectionKey_) return;
  CloseKey();
  sectionKey_ = e.First;
  HKEY root = nullptr;
  std::wstring sub;
  if (spoiled || e.Deletes || !Name(e.First, false, &path_) || !SplitRegKeyPath(path_, &root, &sub)) return;
  if (::RegOpenKeyExW(root, sub.c_str(), 0, KEY_QUERY_VALUE, &key_) != ERROR_SUCCESS) key_ = nullptr;
}

bool TChecker::ValueIsBack(const TRegEntries::TRaw& e) {
  if (key_ == nullptr || e.Deletes || !Name(e.First, true, &name_)) return false;
  DWORD type = 0;
  const BYTE* data = nullptr;
  size_t size = 0;
  if (!values_.Read(key_, name_, &type, &data, &size)) return false;
  TPackedUnits text(e.Second, entries_.CodePage(), entries_.Leads());
  TSameBytes same(data, size);
  DWORD fileType = 0;
  return ReadRegData(text, unicode_, &fileType, same) && fileType == type && same.Equal();
}

// Keys are counted at the end; a missing one is named once.
void TChecker::KeyEntry(const TRegEntries::TRaw& e, size_t index) {
  const bool missing = key_ == nullptr || e.Deletes;
  keys_.Note(index, e.First, missing);
  if (!missing || r_->FirstMissing.size() >= kKeptMissing ||
      std::find(namedKeys_.begin(), namedKeys_.end(), e.First) != namedKeys_.end())
    return;
  namedKeys_.push_back(e.First);
  r_->FirstMissing.push_back(Shown(e.First, false));
}

void TChecker::Entry(const TRegEntries::TRaw& e) {
  const size_t index = index_++;
  if (e.IsKey) Header(e);
  if (!inSection_) return;
  if (e.IsKey) return KeyEntry(e, index);
  ++r_->Entries;
  if (ValueIsBack(e)) return;
  ++r_->Missing;
  if (r_->FirstMissing.size() >= kKeptMissing) return;
  r_->FirstMissing.push_back(Shown(sectionKey_, false) + L"\\" +
                             (e.First.empty() ? std::wstring(L"@") : Shown(e.First, true)));
}

}  // namespace

TRestoreCheck CheckRegEntriesRestored(const TRegFile& file) {
  TRestoreCheck r;
  r.Readable = file.Readable();
  if (!r.Readable) return r;
  try {
    TChecker checker(file.Entries, file.Encoding == TRegEncoding::Utf16, &r);
    file.Entries.Walk([&checker](const TRegEntries::TRaw& e) { checker.Entry(e); });
    checker.Finish();
  } catch (const std::bad_alloc&) {
    r.OutOfMemory = true;
    r.FirstMissing.clear();
  }
  return r;
}

TRestoreCheck CheckRegTextRestored(const std::string& text) { return CheckRegEntriesRestored(ParseRegBytes(text)); }

int RegTextDeletingLine(const std::string& text) { return ParseRegBytes(text).FirstDeletingLine(); }

bool RegTextDeletes(const std::string& text) { return RegTextDeletingLine(text) != 0; }

TRestoreCheck CheckRegFileRestored(const std::wstring& file) {
  TRegFile text;
  if (ReadRegFile(file, &text) != TRegRead::Read) return {};
  return CheckRegEntriesRestored(text);
}

}  // namespace registry
