#include "editor/ZELSwitch.h"

using namespace toolkit;

ZELSwitch::ZELSwitch(const CRect& size, CControlListener* listener, int32_t tag, int32_t subPixmaps,
                     double heightOfOneImage, int32_t iMaxPositions, CBitmap* background, const CPoint& offset)
    : CHorizontalSwitch(size, listener, tag, subPixmaps, heightOfOneImage, iMaxPositions, background, offset) {}
