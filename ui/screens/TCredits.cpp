#include "ui/screens/TCredits.h"

#include <cstdlib>

#include "core/Globals.h"
#include "core/layer/Drawing.h"
#include "core/layer/Numbers.h"
#include "ui/WindowUnits.h"

namespace {
const char* const kLines[7] = {"THIS PROGRAM WAS WRITTEN BY ARI VELMOD",
                               "(PROGRAMMING, GRAPHICS AND SOUNDS)",
                               "THANKS FOR SOME IMAGES PROVIDED BY FRIENDS",
                               "THE ORIGINAL FONT WAS MADE BY PIM DORVALIS",
                               "PHOTOS FROM FREE DESKTOPS",
                               "MUSIC PLAYED WITH FREE SOUND FONTS",
                               "THANK YOU FOR PLAYING, HAVE FUN."};
constexpr int kLineY[7] = {240, 320, 460, 600, 740, 820, 960};  // design units
constexpr int kLetterStep = 64;   // ms between two letters of a line setting off
constexpr int kFallTime = 4000;   // from the end of the typing to the end of the screen

void Veil(float alpha) {
    SetDrawColor(0, 0, 0);
    SetDrawAlpha(0.8f * alpha);
    FillRectangle(0, 0, kDesignWidth, kDesignHeight);
    SetDrawAlpha(1);
}
}  // namespace

TCreditsPtr TCredits::start() {
    auto screen = std::make_shared<TCredits>();
    for (int j = 0; j < 7; ++j) screen->TextLine[j] = TTextLine::build(kLines[j], {});
    // Each line starts when the one before has had 90 ms per letter.
    for (int j = 1; j <= 7; ++j)
        screen->WaitSequence[j] = screen->WaitSequence[j - 1] + 90 * screen->TextLine[j - 1]->LetterCount;
    screen->Zoom = 0.6666667f;
    screen->X = WindowX(810);
    for (int j = 0; j < 7; ++j) screen->Y[j] = WindowY(kLineY[j]);
    screen->ClickSound = LoadSoundFromSource("Incbin::medien/Sounds/CreditsClickSound.ogg", 0);
    screen->FallSound = LoadSoundFromSource("Incbin::medien/Sounds/CreditsFallSound.ogg", 0);
    size_t letters = 0;
    for (const TTextLinePtr& line : screen->TextLine) letters += line->Letter.size();
    screen->MemoClick.assign(letters + 1, 0);
    screen->SpeedControl = std::make_shared<TSpeedControl>();
    screen->SpeedControl->Start();
    return screen;
}

int TCredits::show() {
    SpeedControl->UpdateTime();
    return showAtDuration();
}

int TCredits::showAtDuration() {
    const int t = SpeedControl->Duration;
    const int e = WaitSequence[7];
    const std::vector<float> scale{Zoom, Zoom};
    auto p = [this](int period, int offset, int channel, int curve) {
        SpeedControl->UpdateStates(period, offset);
        return SpeedControl->GetValue(channel, curve);
    };
    if (t <= e) {
        Veil(p(500, 0, 0, 0));
        const size_t lastLetter = MemoClick.size() - 2;
        size_t k = 0;
        for (int j = 0; j < 7; ++j) {
            TTextLine& line = *TextLine[j];
            for (int i = 0; i <= line.LetterCount; ++i, ++k) {
                // Out of the window to the right until 500 ms after the letter's start, then in place.
                const float q = p(1000, WaitSequence[j] + kLetterStep * i, 0, 15);
                // Clicks once, in the first frame it is in place however late that frame comes.
                if (MemoClick[k] == 0 && q == 1) {
                    MemoClick[k] = 1;
                    if (line.Letter[i] != " ") {
                        PlaySoundOnce(ClickSound, nullptr);
                        if (k == lastLetter) PlaySoundOnce(FallSound, nullptr);
                    }
                }
                line.LetterDistanceX[i] = (1 - q) * 1500;
            }
            line.draw(static_cast<float>(X), static_cast<float>(Y[j]), 0, scale);
        }
        return 0;
    }
    if (t < e + kFallTime) {
        Veil(1 - p(3000, e, 0, 0));
        // Each line falls from its middle letter outwards, 80 ms a letter, 240 ms after the one
        // above; even lines turn clockwise, odd ones the other way.
        for (int j = 0; j < 7; ++j) {
            TTextLine& line = *TextLine[j];
            for (int i = 0; i <= line.LetterCount; ++i) {
                const float q = p(2000, e + 240 * j + 80 * std::abs(line.LetterCount / 2 - i), 0, 14);
                line.LetterRotation[i] = (j % 2 ? -360 : 360) * q;
                line.LetterDistanceY[i] = 1000 * q;
            }
            line.draw(static_cast<float>(X), static_cast<float>(Y[j]), 0, scale);
        }
        return 0;
    }
    // This may release the screen itself: nothing of it is touched after.
    CreditsScreen = nullptr;
    return 0;
}

int CloseCreditsScreen() {
    CreditsScreen = nullptr;
    return 0;
}
