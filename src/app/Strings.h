// The program's own texts that several windows share.
#pragma once

namespace app {

inline constexpr wchar_t kProductName[] = L"Vantorel";
inline constexpr wchar_t kProductVersion[] = L"3.1";

}  // namespace app

namespace app {

inline constexpr wchar_t kHomePage[] = L"https://vantorel.example/";

}  // namespace app
