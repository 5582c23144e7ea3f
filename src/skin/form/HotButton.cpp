#include "skin/form/HotButton.h"

namespace skin {

bool FollowMouse(HWND bar, POINT pt, int hit, int& hot) {
  if (pt.x >= 0) {
    TRACKMOUSEEVENT t{sizeof(t), TME_LEAVE, bar, 0};
    ::TrackMouseEvent(&t);
  }
  if (hit == hot) return false;
  hot = hit;
  return true;
}

}  // namespace skin
