#include "ui/screens/TIntro.h"

#include <algorithm>

#include "core/Globals.h"
#include "core/layer/Numbers.h"

namespace {
float Alternating(int i) { return i % 2 == 0 ? 1.0f : -1.0f; }
}  // namespace

TIntroPtr TIntro::start(const std::vector<std::string>& lines) {
    auto intro = std::make_shared<TIntro>();
    // The title lines, the first two gold; a missing line is an empty one.
    const std::vector<int> gold{240, 200, 40};
    intro->TextLine.resize(std::max<size_t>(4, lines.size()));
    for (size_t k = 0; k < intro->TextLine.size(); ++k)
        intro->TextLine[k] = TTextLine::build(k < lines.size() ? lines[k] : "", k < 2 ? gold : std::vector<int>{});
    intro->SpeedControl = std::make_shared<TSpeedControl>();
    const int W = ScreenWidth, H = ScreenHeight;
    // Measured from H div 6, not from where the line is drawn: the letters come in from
    // points a little off the edges, which the flight was tuned for.
    for (int i = 0; i < intro->FlyingLetters(); ++i) {
        std::vector<float> e = intro->TextLine[0]->GetRandomEdge(i, W / 2, H / 6);
        intro->SingleDistance[i] = {TruncateToInt(e[0]), TruncateToInt(e[1])};
    }
    intro->DurationSequence = {400, 300, 450, 350, 500, 250, 425, 375};
    intro->WaitSequence = {0, 250, 100, 350, 200, 50, 300, 150};
    intro->Red = {255, 0, 0, 255, 0, 255, 255, 127, 0, 100, 120};
    intro->Green = {0, 255, 0, 255, 255, 0, 127, 0, 127, 100, 0};
    intro->Blue = {0, 0, 255, 0, 255, 255, 0, 0, 0, 255, 255};
    intro->Music = LoadSoundFromSource("incbin::medien/Sounds/IntroMusic.ogg", 0);
    PlaySoundOnce(intro->Music, nullptr);
    intro->SpeedControl->Start();
    return intro;
}

int TIntro::FlyingLetters() const {
    // Eight letters have tables; a longer first line keeps its extra letters in place.
    return std::min(TextLine[0]->LetterCount + 1, static_cast<int>(SingleDistance.size()));
}

float TIntro::Phase(int period, int offset, int channel, int curve) {
    SpeedControl->UpdateStates(period, offset);
    return SpeedControl->GetValue(channel, curve);
}

void TIntro::CycleColours(int line, int n) {
    TTextLine& t = *TextLine[line];
    const double q = SpeedControl->GetValue(4, 14);
    const int size = static_cast<int>(Red.size());
    // In double precision: a channel both entries share (255 and 255) stays 255 all the way,
    // where single precision drops it to 254 at some points of the blend.
    auto blend = [q](int from, int to) { return TruncateToInt((1 - q) * from + q * to); };
    for (int i = 0; i <= t.LetterCount; ++i) {
        const int k = ((n + i) % size + size) % size, k2 = (k + 1) % size;
        t.LetterColor[i] = {blend(Red[k], Red[k2]), blend(Green[k], Green[k2]), blend(Blue[k], Blue[k2])};
    }
}

int TIntro::GoIn() {
    SpeedControl->UpdateTime();
    return GoInAtDuration();
}

int TIntro::GoOut() {
    SpeedControl->UpdateTime();
    return GoOutAtDuration();
}

int TIntro::GoInAtDuration() {
    const int W = ScreenWidth, H = ScreenHeight;
    // "HAVE FUN": from the edges to its place in 2019 ms, each letter turning once and bobbing.
    const float a = Phase(2019, 0, 0, 7);
    TTextLine& first = *TextLine[0];
    for (int i = 0; i < FlyingLetters(); ++i) {
        const float b = Phase(DurationSequence[i], WaitSequence[i], 5, 13);
        first.LetterRotation[i] = Alternating(i) * 360 * a;
        first.LetterDistanceX[i] = (1 - a) * SingleDistance[i][0];
        first.LetterDistanceY[i] = -20 * ScaleY * b * a + (1 - a) * SingleDistance[i][1];
    }
    first.draw(static_cast<float>(W / 2), static_cast<float>(2 * H / 6), 0, {});
    // "WITH" zooms up from 2500 ms.
    const float z = RaiseToPower(Phase(1000, 2500, 0, 9), 3);
    TextLine[1]->draw(static_cast<float>(W / 2), static_cast<float>(H / 2), 0, {0.8f * z, 0.8f * z});
    // "PLARN" and "PUZZLE" grow in while they turn twice, half a second apart.
    const float left = Phase(1500, 4000, 0, 7);
    SpeedControl->UpdateStates(500, 0);
    CycleColours(2, SpeedControl->Repetitions);
    TextLine[2]->draw(W / 2 - 120 * ScaleX, static_cast<float>(4.2 * H / 6), 720 * left, {left, left});
    const float right = Phase(1500, 4500, 0, 7);
    SpeedControl->UpdateStates(500, 0);
    CycleColours(3, SpeedControl->Repetitions);
    TextLine[3]->draw(W / 2 + 120 * ScaleX, static_cast<float>(4.2 * H / 6), -720 * right, {right, right});
    return 0;
}

int TIntro::GoOutAtDuration() {
    const int W = ScreenWidth, H = ScreenHeight;
    // Every letter turns once more and falls one window height in 3000 ms.
    const float a = Phase(3000, 7000, 0, 3);
    const float fall = a * H;
    TTextLine& first = *TextLine[0];
    for (int i = 0; i < FlyingLetters(); ++i) {
        const float b = Phase(DurationSequence[i], WaitSequence[i], 5, 13);
        first.LetterRotation[i] = Alternating(i) * 360 * a;
        // The bob dies away as the letters fall; a never exceeds 1.
        first.LetterDistanceY[i] = -18 * ScaleY * b * SquareRoot(std::max(0.0f, 1 - a)) + fall;
    }
    first.draw(static_cast<float>(W / 2), static_cast<float>(2 * H / 6), 0, {});
    auto turnAndFall = [&](TTextLine& t) {
        for (int i = 0; i <= t.LetterCount; ++i) {
            t.LetterRotation[i] = Alternating(i) * 360 * a;
            t.LetterDistanceY[i] = fall;
        }
    };
    turnAndFall(*TextLine[1]);
    TextLine[1]->draw(static_cast<float>(W / 2), static_cast<float>(H / 2), 0, {0.8f, 0.8f});
    SpeedControl->UpdateStates(500, 0);
    const int n = SpeedControl->Repetitions;
    CycleColours(2, n);
    turnAndFall(*TextLine[2]);
    TextLine[2]->draw(W / 2 - 120 * ScaleX, static_cast<float>(4.2 * H / 6), 0, {});
    CycleColours(3, n);
    turnAndFall(*TextLine[3]);
    TextLine[3]->draw(W / 2 + 120 * ScaleX, static_cast<float>(4.2 * H / 6), 0, {});
    return 0;
}
