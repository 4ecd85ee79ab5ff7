#include "ui/screens/TCongratulations.h"

#include <algorithm>

#include "core/Globals.h"
#include "core/layer/Drawing.h"

namespace {
constexpr int kEnd = 9000;         // nothing is drawn after this
constexpr int kShrinkFrom = 5500;  // the growing branch hands over to the shrinking one
}  // namespace

TCongratulationsPtr TCongratulations::start() {
    auto screen = std::make_shared<TCongratulations>();
    screen->TextLine = TTextLine::build("CONGRATULATIONS", {255, 215, 55});
    screen->SpeedControl = std::make_shared<TSpeedControl>();
    // The middle letter first, the two ends last.
    screen->WaitSequence = TSpeedControl::CreateWaitingSequence(2000, 400, 15, 2, 0);
    screen->Music = LoadSoundFromSource("incbin::medien/Sounds/CongratulationsMusic.ogg", 0);
    screen->C_Background = LoadImageFromSource("incbin::medien/etc/Congratulationsbackground.png", -1);
    CentreImageHandle(screen->C_Background);
    PlaySoundOnce(screen->Music, nullptr);
    screen->SpeedControl->Start();
    return screen;
}

int TCongratulations::show() {
    SpeedControl->UpdateTime();
    return showAtDuration();
}

int TCongratulations::showAtDuration() {
    const int t = SpeedControl->Duration;
    if (t > kEnd) return 0;
    const int W = ScreenWidth, H = ScreenHeight;
    const int letters = static_cast<int>(std::min(WaitSequence.size(), TextLine->LetterDistanceY.size()));
    // alpha, the word's scale and what remains of the bobbing's height
    float alpha, scale, bob;
    if (t < kShrinkFrom) {
        // Growing in over 3000 ms, overshooting a little on the way.
        SpeedControl->UpdateStates(3000, 0);
        alpha = scale = bob = SpeedControl->GetValue(0, 5);
    } else {
        // Even from 6000 ms to 9000 ms.
        SpeedControl->UpdateStates(3000, 6000);
        const float v = SpeedControl->GetValue(0, 0);
        alpha = bob = 1 - v;
        scale = 1 - 0.3f * v * v;
    }
    SetDrawAlpha(alpha);
    SetDrawScale(2 * scale * ScaleX, 2 * scale * ScaleY);
    DrawImageTransformed(C_Background, 0.485f * W, 0.505f * H, 0);
    for (int i = 0; i < letters; ++i) {
        // A sine wave of 2000 ms, phased by the letter's delay: it runs out from the middle.
        SpeedControl->UpdateStates(500, WaitSequence[i]);
        const float b = SpeedControl->GetValue(6, 13);
        TextLine->LetterDistanceY[i] = -20 * ScaleY * b * bob;
    }
    TextLine->draw(static_cast<float>(W / 2), static_cast<float>(H / 2), 0, {scale, scale});
    return 0;
}
