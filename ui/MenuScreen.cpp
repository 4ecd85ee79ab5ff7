#include "ui/MenuScreen.h"

#include <string>

#include "core/Globals.h"
#include "core/layer/Drawing.h"
#include "core/layer/Numbers.h"
#include "core/puzzle/TGitterPreview.h"
#include "ui/THorizontalBar.h"
#include "ui/TImagePreview.h"
#include "ui/TMacDockImitat_Horizontal.h"
#include "ui/TMacDockImitat_Vertikal_Left.h"
#include "ui/TMacDockImitat_Vertikal_Right.h"

void DrawMenuScreen() {
    SetDrawScale(2 * ScaleX, 2 * ScaleY);
    DrawImageTransformed(MenuTableImage, 111 * ScaleX, 495 * ScaleY, 0);
    SetDrawScale(ScaleX, ScaleY);
    if (LeftDock) LeftDock->show(6, 563);
    if (RightDock) RightDock->show(1494, 563);
    if (MainDock) MainDock->show(750, 900);
    if (ImagePreview) ImagePreview->Show();
    if (GridPreview) GridPreview->Show();
    UpdateHorizontalBar();
    if (!GridPreview) return;
    // The count ends at design x 640, whatever its number of digits.
    SetDrawScale(ScaleX, ScaleY);
    const std::string count = IntToString(GridPreview->Summe);
    DrawTextString(count + " PIECES", ScaleX * static_cast<float>(640 - MeasureTextWidth(count)), 220 * ScaleY);
}
