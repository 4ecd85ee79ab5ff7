// Design units to window pixels, truncated toward zero, for the widgets' fixed places on the
// 1500 x 1125 canvas. The products are taken in double precision, as the window's own size is:
// 750 x 0.9f is just under 675 and gives 674, so the bars, the slider, the preview and the
// buttons centred on the canvas all line up with the window worked out from the same scale.
#pragma once
#include "core/Globals.h"
#include "core/layer/Numbers.h"

inline int WindowX(double units) { return TruncateToInt(static_cast<double>(ScaleX) * units); }
inline int WindowY(double units) { return TruncateToInt(static_cast<double>(ScaleY) * units); }
