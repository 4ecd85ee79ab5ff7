#include "core/Backdrop.h"

#include "core/Globals.h"
#include "core/layer/Drawing.h"

void DrawBackdrop() {
    SetDrawScale(BackgroundScale[0], BackgroundScale[1]);
    DrawImageTransformed(BackgroundImage, 0, 0, 0);
}
