// The puzzle model and the cutting of a picture into soft-edged pieces.
#include "core/puzzle/TPuzzle.h"

#include <algorithm>
#include <cmath>

#include "core/Globals.h"
#include "core/Backdrop.h"
#include "core/Utilities.h"
#include "core/layer/Drawing.h"
#include "core/layer/Input.h"
#include "core/layer/Numbers.h"
#include "core/layer/Window.h"
#include "core/puzzle/TGitterPreview.h"
#include "ui/TImagePreview.h"
#include "ui/TProgressBar.h"

const int kPossibleSum[24] = {4,  6,  9,  12, 15, 16, 20, 24, 25, 30, 35, 36,
                              42, 48, 49, 54, 56, 63, 64, 72, 80, 81, 90, 100};
const int kPossibleFactor[24] = {2, 2, 3, 3, 3, 4, 4, 4, 5, 5, 5, 6, 6, 6, 7, 6, 7, 7, 8, 8, 8, 9, 9, 10};

TPuzzle::TPuzzle()
    : Possible_Sum(kPossibleSum, kPossibleSum + 24), Possible_Factor(kPossibleFactor, kPossibleFactor + 24) {}

std::shared_ptr<TPuzzle> TPuzzle::erschaffen(int count) {
    auto p = std::make_shared<TPuzzle>();
    p->Mausradintervall = 10;
    p->Summe = std::min(100, std::max(4, count));
    p->ProgressBar = TProgressBar::build("incbin::medien/etc/ProgressBar.png",
                                         "incbin::medien/etc/ProgressStripe.png", 6, 12, 50);
    TPixmapPtr probe = CreateBlankPixmap(1, 1, 6, 4);
    WritePixmapPixel(probe, 0, 0, static_cast<int>(0x80400800u));
    p->Mouse_Pseudoimage = LoadImageFromSource(probe, -1);
    p->VerbundSound = LoadSoundFromSource("incbin::medien/Sounds/PuzzleVerbund.ogg", 0);
    p->FlyInSound = LoadSoundFromSource("incbin::medien/Sounds/FlyIn.ogg", 0);
    return p;
}

int TPuzzle::Gitter_importieren() {
    if (!GridPreview) return 0;
    Summe = GridPreview->Summe;
    Spalten = GridPreview->Spalten;
    Reihen = GridPreview->Reihen;
    x = Grid2<float>(Spalten + 1, Reihen + 1);
    y = Grid2<float>(Spalten + 1, Reihen + 1);
    for (int i = 0; i <= Spalten; ++i)
        for (int j = 0; j <= Reihen; ++j) {
            x(i, j) = GridPreview->x(i, j);
            y(i, j) = GridPreview->y(i, j);
        }
    Reihenfolge = GridPreview->Reihenfolge;
    return 0;
}

int TPuzzle::importieren() {
    Bild = ImagePreview ? ImagePreview->Image : nullptr;
    return zerschneiden();
}

void TPuzzle::ShowCuttingProgress(int reached) {
    DrawBackdrop();
    SetDrawScale(ScaleX, ScaleY);
    if (ProgressBar) ProgressBar->Show(750, 563, reached);
    DrawTextString("CREATING", 565 * ScaleX, 516 * ScaleY);
    PresentFrame(-1);
}

void TPuzzle::CutPiece(int i, int j, int c, const TPixmapPtr& source) {
    SetDrawScale(1, 1);
    SetDrawAlpha(1);
    ClearBackBuffer();
    // The piece's box, with a 2-pixel margin on every side that has a neighbour.
    int L = TruncateToInt(std::min(x(i, j), x(i, j + 1))) - (i > 0 ? 2 : 0);
    int T = TruncateToInt(std::min(y(i, j), y(i + 1, j))) - (j > 0 ? 2 : 0);
    int W = TruncateToInt(std::max(x(i + 1, j) - L, x(i + 1, j + 1) - L)) + (i < Spalten - 1 ? 2 : 0);
    int H = TruncateToInt(std::max(y(i + 1, j + 1) - T, y(i, j + 1) - T)) + (j < Reihen - 1 ? 2 : 0);
    if (W < 1) W = 1;
    if (H < 1) H = 1;
    TImagePtr mask = CreateBlankImage(W, H, 1, -1);
    TImagePtr piece = CreateBlankImage(W, H, 1, -1);
    CentreImageHandle(piece);
    Puzzleteil(i, j) = piece;

    Ziel_X(i, j) = 0.5f * static_cast<float>(ScreenWidth - GetImageWidth(Bild)) + L + 0.5f * W;
    Ziel_Y(i, j) = 0.5f * static_cast<float>(ScreenHeight - GetImageHeight(Bild)) + T + 0.5f * H;
    int p = Zufallsposition[c];
    Puzzleteil_X(i, j) = (static_cast<float>(p / Reihen) + 0.5f) * ScreenWidth / Spalten;
    Puzzleteil_Y(i, j) = (static_cast<float>(p % Reihen) + 0.5f) * ScreenHeight / Reihen;
    Puzzleteil_Drehwinkel(i, j) = static_cast<float>(RandomIntInRange(0, 360));

    // Four grey levels whose red becomes the alpha of the soft two-pixel edge.
    auto quad = [&](float d) {
        return std::vector<float>{x(i, j) - d,         y(i, j) - d,         x(i, j + 1) - d,
                                  y(i, j + 1) + d,     x(i + 1, j + 1) + d, y(i + 1, j + 1) + d,
                                  x(i + 1, j) + d,     y(i + 1, j) - d};
    };
    SetDrawColor(10, 10, 10);
    FillRectangle(static_cast<float>(L - 2), static_cast<float>(T - 2), static_cast<float>(W + 4),
                  static_cast<float>(H + 4));
    SetDrawColor(75, 75, 75);
    FillPolygon(quad(2));
    SetDrawColor(160, 160, 160);
    FillPolygon(quad(1));
    SetDrawColor(245, 245, 245);
    FillPolygon(quad(0));

    CaptureScreenToImage(mask, L, T, 0);
    TPixmapPtr m = LockImagePixels(mask, 0, 1, 1);
    TPixmapPtr out = LockImagePixels(piece, 0, 1, 1);
    int srcW = GetPixmapWidth(source), srcH = GetPixmapHeight(source);
    for (int u = 0; u < W; ++u)
        for (int v = 0; v < H; ++v) {
            int red = ColorRed(ReadPixmapPixel(m, u, v));
            int s = ReadPixmapPixel(source, std::min(L + u, srcW - 1), std::min(T + v, srcH - 1));
            int alpha = red <= 42 ? 0 : std::min(255, red + 10);
            WritePixmapPixel(out, u, v, ColorPack(alpha, ColorRed(s), ColorGreen(s), ColorBlue(s)));
        }
    UnlockImagePixels(piece, 0);
    UnlockImagePixels(mask, 0);
}

void TPuzzle::BuildNeighbourTables() {
    Nachbar_Winkel = SideGrid<float>(Spalten, Reihen);
    Nachbar_Abstand = SideGrid<float>(Spalten, Reihen);
    for (int i = 0; i < Spalten; ++i)
        for (int j = 0; j < Reihen; ++j)
            for (int side = 0; side < 4; ++side) {
                int ni = i + kSideDi[side], nj = j + kSideDj[side];
                if (ni < 0 || nj < 0 || ni >= Spalten || nj >= Reihen) continue;
                float dx = Ziel_X(ni, nj) - Ziel_X(i, j), dy = Ziel_Y(ni, nj) - Ziel_Y(i, j);
                Nachbar_Abstand(i, j, side) = SquareRoot(dx * dx + dy * dy);
                Nachbar_Winkel(i, j, side) = VectorAngle(Ziel_X(i, j), Ziel_Y(i, j), Ziel_X(ni, nj), Ziel_Y(ni, nj));
            }
}

int TPuzzle::zerschneiden() {
    if (ImagePreview) {
        OriginalImageWidth = ImagePreview->OriginalImageWidth;
        OriginalImageHeight = ImagePreview->OriginalImageHeight;
    }
    if (!Bild) return 0;
    Puzzleteil_X = Grid2<float>(Spalten, Reihen);
    Puzzleteil_Y = Grid2<float>(Spalten, Reihen);
    Puzzleteil_Drehwinkel = Grid2<float>(Spalten, Reihen);
    Ziel_X = Grid2<float>(Spalten, Reihen);
    Ziel_Y = Grid2<float>(Spalten, Reihen);
    Verbund.clear();
    Abgehandelter_Verbund.clear();
    Zufallsposition = RandomPermutation(Spalten * Reihen);
    fertig = 0;
    Puzzleteil = Grid2<TImagePtr>(Spalten, Reihen);
    Auswahl_i = Auswahl_j = -1;
    Aktiv_Sensor = 0;
    ClearMouseState();
    ClearKeyboardState();

    TPixmapPtr source = LockImagePixels(Bild, 0, 1, 0);
    int c = 0;
    for (int i = 0; i < Spalten; ++i)
        for (int j = 0; j < Reihen; ++j, ++c) {
            CutPiece(i, j, c, source);
            ShowCuttingProgress(ProgressBar && Summe > 0 ? ProgressBar->Frames * (c + 1) / Summe : 0);
            SetDrawScale(1, 1);
        }
    source.reset();
    UnlockImagePixels(Bild, 0);

    BuildNeighbourTables();
    ShowCuttingProgress(ProgressBar ? ProgressBar->Frames : 0);
    return 0;
}
