#include "skin/theme/BuiltinTheme.h"

#include "skin/draw/Strips.h"

namespace skin {

namespace {

constexpr int kStyleCount = 5;  // MacOS .. BlueGlass

struct ItemRow {
  ThemeItemKind kind;
  std::int32_t value[kStyleCount];
  const wchar_t* name[kStyleCount];
};

#define INT(a, b, c, d, e) \
  { tkInteger, {a, b, c, d, e}, {} }
#define COL(a, b, c, d, e) \
  { tkColour, {0x##a, 0x##b, 0x##c, 0x##d, 0x##e}, {} }
#define FLAG(a, b, c, d, e) \
  { tkFlag, {a, b, c, d, e}, {} }
#define BMP(part) \
  { tkBitmap, {}, {L"MACOS_" part, L"WINXP_" part, L"DEEPBLUE_" part, L"PROTEIN_" part, L"BLUEGLASS_" part} }

// Columns: MacOS, WinXP, DeepBlue, Protein, BlueGlass. Colours are BBGGRR.
const ItemRow kTable[kBuiltinThemeItemCount] = {
    BMP(L"BUTTON"),                                     // 1
    FLAG(1, 0, 0, 0, 1),                                // 2
    BMP(L"CHECKBOX"),                                   // 3
    BMP(L"RADIOBUTTON"),                                // 4
    BMP(L"TITLEBTN"),                                   // 5
    FLAG(0, 0, 0, 1, 1),                                // 6
    INT(3, 2, 0, 0, 4),                                 // 7
    INT(-2, -2, 0, 0, -3),                              // 8
    INT(4, 5, 2, 2, 6),                                 // 9
    BMP(L"TITLE_LEFT"),                                 // 10
    BMP(L"TITLE_CLIENT"),                               // 11
    BMP(L"TITLE_RIGHT"),                                // 12
    INT(130, 150, 130, 130, 270),                       // 13
    INT(0, 13, 0, 0, 11),                               // 14
    COL(E7E7E7, DEEBEF, E8E8E8, FBFBFB, E7E7E7),        // 15
    COL(7F7F7F, C82C00, 000000, 000000, 000000),        // 16
    INT(1, 3, 1, 1, 1),                                 // 17
    COL(C47339, C66931, A04A44, C4302D, EC5E5E),        // 18
    COL(C47339, EFD3C6, A04A44, C4302D, EC5E5E),        // 19
    COL(FFFFFF, 000000, FFFFFF, FFFFFF, FFFFFF),        // 20
    COL(000000, FFFFFF, FFFFFF, FFFFFF, E7E7E7),        // 21
    COL(000000, 000000, 000000, 000000, 000000),        // 22
    COL(000000, CED3D6, CED3D6, CED3D6, CED3D6),        // 23
    BMP(L"PROGRESSBAR"),                                // 24
    COL(7F7F7F, 686868, 000000, 000000, 000000),        // 25
    COL(E7E7E7, DEEBEF, E8E8E8, FBFBFB, E7E7E7),        // 26
    COL(000000, CF4602, 000000, 000000, 000000),        // 27
    BMP(L"TRACKBAR_BAR"),                               // 28
    BMP(L"TRACKBAR_SLIDER"),                            // 29
    BMP(L"TRACKBAR_SLIDER_V"),                          // 30
    COL(C9C9C9, F9F9F9, F5F5F5, F5F5F5, F4F4F4),        // 31
    BMP(L"SCROLLBAR_BUTTON"),                           // 32
    BMP(L"SCROLLBAR_TRACK"),                            // 33
    BMP(L"CHECKLIST"),                                  // 34
    COL(474747, C66931, 474747, 474747, 474747),        // 35
    COL(EFEFEF, EFD3C6, EFEFEF, EFEFEF, EFEFEF),        // 36
    COL(D8D8D8, E1AC93, D8D8D8, D8D8D8, D8D8D8),        // 37
    {tkBitmap,                                          // 38: one shared picture for the last three
     {},
     {L"MACOS_SCROLLBUTTON", L"WINXP_SCROLLBUTTON", L"MORE_SCROLLBUTTON", L"MORE_SCROLLBUTTON",
      L"MORE_SCROLLBUTTON"}},
    BMP(L"TAB"),                                        // 39
    BMP(L"TAB_LINE"),                                   // 40
    BMP(L"SIDECHENNEL_HANDLE"),                         // 41
    BMP(L"SIDECHENNEL_BAR"),                            // 42
    {tkBitmap, {}, {L"", L"", L"", L"", L""}},          // 43
    COL(000000, FFFFFF, FFFFFF, FFFFFF, FFFFFF),        // 44
    {tkBitmap, {}, {L"", L"", L"", L"", L""}},          // 45
    {tkBitmap, {}, {L"", L"", L"", L"", L""}},          // 46
    INT(0, 0, 0, 0, 0),                                 // 47
    COL(E7E7E7, DEEBEF, E8E8E8, FBFBFB, E7E7E7),        // 48
};

#undef INT
#undef COL
#undef FLAG
#undef BMP

// Sizes of the built-in pictures, width x height, per style.
struct PictureSizes {
  int item;
  SIZE size[kStyleCount];
};

const PictureSizes kSizes[] = {
    {1, {{252, 23}, {54, 21}, {222, 21}, {222, 21}, {231, 27}}},
    {3, {{60, 17}, {52, 13}, {52, 13}, {52, 13}, {52, 13}}},
    {4, {{64, 17}, {52, 13}, {52, 13}, {52, 13}, {52, 13}}},
    {5, {{306, 17}, {378, 21}, {342, 19}, {342, 19}, {342, 19}}},
    {10, {{48, 23}, {35, 29}, {97, 32}, {441, 23}, {162, 33}}},
    {11, {{49, 23}, {37, 29}, {98, 32}, {1, 23}, {179, 33}}},
    {12, {{48, 23}, {35, 29}, {97, 32}, {1, 23}, {101, 33}}},
    {24, {{13, 10}, {6, 10}, {1, 10}, {1, 10}, {1, 10}}},
    {28, {{45, 5}, {45, 8}, {45, 4}, {45, 4}, {45, 4}}},
    {29, {{11, 20}, {11, 21}, {11, 20}, {11, 20}, {11, 20}}},
    {30, {{19, 11}, {22, 11}, {18, 11}, {18, 11}, {18, 11}}},
    {32, {{96, 22}, {96, 17}, {96, 16}, {96, 16}, {102, 16}}},
    {33, {{33, 16}, {21, 16}, {21, 16}, {21, 16}, {21, 16}}},
    {34, {{40, 11}, {44, 11}, {44, 11}, {44, 11}, {44, 11}}},
    {38, {{72, 18}, {72, 18}, {72, 17}, {72, 17}, {72, 17}}},
    {39, {{36, 27}, {18, 18}, {12, 17}, {18, 17}, {18, 17}}},
    {40, {{17, 7}, {8, 1}, {5, 5}, {10, 5}, {10, 5}}},
    {41, {{7, 84}, {8, 86}, {8, 83}, {8, 83}, {8, 86}}},
    {42, {{1, 21}, {1, 21}, {1, 20}, {1, 21}, {1, 21}}},
};

// The row of a valid style and item, or nullptr; the column through `column`.
const ItemRow* Find(int style, int item, int& column) {
  column = (style & 127) - 1;
  if (column < 0 || column >= kStyleCount || item < 1 || item > kBuiltinThemeItemCount) return nullptr;
  return &kTable[item - 1];
}

std::int32_t EntryOfKind(int style, int item, ThemeItemKind kind, std::int32_t missing) {
  std::uint8_t found = 0;
  std::int32_t entry = LookupBuiltinThemeItem(style, item, found);
  return found == kind ? entry : missing;  // an invalid style reads as integer -1
}

}  // namespace

std::int32_t LookupBuiltinThemeItem(int Style, int Item, std::uint8_t& Kind) {
  int column = 0;
  const ItemRow* row = Find(Style, Item, column);
  Kind = row != nullptr ? row->kind : tkInteger;
  return row != nullptr ? row->value[column] : -1;
}

std::wstring BuiltinThemeBitmapName(int Style, int Item) {
  int column = 0;
  const ItemRow* row = Find(Style, Item, column);
  if (row == nullptr || row->kind != tkBitmap) return std::wstring();
  return row->name[column];
}

SIZE BuiltinThemePictureSize(int Style, int Item) {
  int column = 0;
  if (Find(Style, Item, column) == nullptr) return SIZE{0, 0};
  for (const PictureSizes& entry : kSizes)
    if (entry.item == Item) return entry.size[column];
  return SIZE{0, 0};
}

bool LoadBuiltinThemeBitmap(int Style, int Item, Bitmap* Bitmap, HMODULE Module) {
  if (Bitmap == nullptr) return false;
  std::wstring name = BuiltinThemeBitmapName(Style, Item);
  if (name.empty()) return false;
  return Bitmap->LoadFromResource(Module != nullptr ? Module : ::GetModuleHandleW(nullptr), name);
}

bool GetBuiltinThemeBitmap(int Style, int Item, Bitmap* Bitmap, int Count, int Index, HMODULE Module) {
  if (Bitmap == nullptr) return false;
  if (Count == 0) return LoadBuiltinThemeBitmap(Style, Item, Bitmap, Module);
  skin::Bitmap strip;
  if (!LoadBuiltinThemeBitmap(Style, Item, &strip, Module)) return false;
  return CutBitmapPart(strip, *Bitmap, Count, Index);
}

COLORREF GetBuiltinThemeColor(int Style, int Item) {
  return static_cast<COLORREF>(EntryOfKind(Style, Item, tkColour, 0));
}

int GetBuiltinThemeInteger(int Style, int Item) { return EntryOfKind(Style, Item, tkInteger, -1); }

bool GetBuiltinThemeBool(int Style, int Item) { return EntryOfKind(Style, Item, tkFlag, 0) != 0; }

}  // namespace skin
