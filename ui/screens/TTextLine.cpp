#include "ui/screens/TTextLine.h"

#include <cmath>

#include "core/Globals.h"
#include "core/layer/Drawing.h"
#include "core/layer/Numbers.h"

namespace {
constexpr double kDegrees = M_PI / 180.0;
}

TTextLinePtr TTextLine::build(const std::string& text, const std::vector<int>& color) {
    auto line = std::make_shared<TTextLine>();
    line->Text = text;
    line->TextHalfWidth = static_cast<float>(0.5 * MeasureTextWidth(text));
    line->TextHalfHeight = static_cast<float>(0.5 * MeasureTextHeight(text));
    std::array<int, 3> rgb{255, 255, 255};
    if (color.size() == 3) rgb = {color[0], color[1], color[2]};
    const int n = static_cast<int>(text.size());
    line->LetterCount = n - 1;
    line->Letter.assign(n, "");
    line->LetterMidX.assign(n, 0);
    line->LetterMidY.assign(n, 0);
    line->LetterRotation.assign(n, 0);
    line->LetterDistanceX.assign(n, 0);
    line->LetterDistanceY.assign(n, 0);
    line->LetterColor.assign(n, rgb);
    line->LetterHalfWidth.assign(n, 0);
    line->LetterTextInterval.assign(n, 0);
    for (int i = 0; i < n; ++i) {
        line->Letter[i] = TakeSubstring(text, i + 1, 1);
        line->LetterHalfWidth[i] = static_cast<float>(0.5 * MeasureTextWidth(line->Letter[i]));
        // 1.12, not 1: the letters sit a little left of a line centred on the reference point,
        // which the screens' layouts are made for.
        line->LetterTextInterval[i] =
            static_cast<float>(MeasureTextWidth(TakeLeftChars(text, i)) -
                               1.12 * static_cast<double>(line->TextHalfWidth) +
                               line->LetterHalfWidth[i]);
    }
    return line;
}

int TTextLine::draw(float x, float y, float rotation, const std::vector<float>& scale) {
    MidX = x;
    MidY = y;
    Rotation = rotation;
    Scale = scale.size() == 2 ? scale : std::vector<float>{1, 1};
    SetDrawScale(ScaleX * Scale[0], ScaleY * Scale[1]);
    const double c = std::cos(Rotation * kDegrees), s = std::sin(Rotation * kDegrees);
    for (int i = 0; i <= LetterCount; ++i) {
        // Both coordinates use the scale along the line, Scale[0].
        LetterMidX[i] = static_cast<float>(MidX + c * (static_cast<double>(ScaleX) * Scale[0] *
                                                       LetterTextInterval[i]) +
                                           LetterDistanceX[i]);
        LetterMidY[i] = static_cast<float>(MidY + s * (static_cast<double>(ScaleY) * Scale[0] *
                                                       LetterTextInterval[i]) +
                                           LetterDistanceY[i]);
        // The font's glyphs stand above the pen; this handle centres each letter on its place,
        // and the letter turns and scales about that centre.
        SetDrawHandle(LetterHalfWidth[i], -TextHalfHeight);
        SetDrawRotation(Rotation + LetterRotation[i]);
        SetDrawColor(LetterColor[i][0], LetterColor[i][1], LetterColor[i][2]);
        DrawTextString(Letter[i], LetterMidX[i], LetterMidY[i]);
    }
    return 0;
}

std::vector<float> TTextLine::GetRandomEdge(int i, int x, int y) {
    const int e = TruncateToInt(4 * std::sqrt(static_cast<double>(LetterHalfWidth[i]) * LetterHalfWidth[i] +
                                              static_cast<double>(TextHalfHeight) * TextHalfHeight));
    const int side = RandomIntInRange(0, 3);
    // The interval enters both coordinates.
    const float px = x + ScaleX * LetterTextInterval[i];
    const float py = y + ScaleY * LetterTextInterval[i];
    const int W = ScreenWidth, H = ScreenHeight;
    switch (side) {
        case 0: return {-e - px, RandomIntInRange(-e, H + e) - py};
        case 1: return {W + e - px, RandomIntInRange(-e, H + e) - py};
        case 2: return {RandomIntInRange(-e, W + e) - px, -e - py};
        default: return {RandomIntInRange(-e, W + e) - px, H + e - py};
    }
}

int TTextLine::SetGeneralLetterColor(const std::vector<int>& color) {
    // Fewer than three entries would read past the colour; such a colour changes nothing.
    if (color.size() < 3) return 0;
    for (auto& rgb : LetterColor) rgb = {color[0], color[1], color[2]};
    return 0;
}
