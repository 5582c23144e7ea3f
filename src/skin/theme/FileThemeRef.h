// The file theme as the style look-ups see it. The skin-file reader defines
// the class; the look-ups need a pointer to it and, from a complete type,
// only `bool GetReady() const` (a skin file is loaded and usable).
#pragma once

namespace skin {

class TskFileTheme;

}  // namespace skin
