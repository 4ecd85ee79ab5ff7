#include "ui/screens/THelp.h"

#include <algorithm>

#include "core/Globals.h"
#include "core/layer/Drawing.h"
#include "core/layer/Fonts.h"
#include "core/layer/Numbers.h"
#include "ui/WindowUnits.h"

namespace {
constexpr int kWords = 21;         // the words of the three sentences; the return line follows
constexpr int kFadeFrom = 16000;   // the words come to rest and everything fades out
constexpr int kEnd = 18000;        // the screen ends after this

const char* const kSentence[3] = {"DRAG AND DROP THE PIECES WITH THE LEFT MOUSEBUTTON",
                                  "ROTATE WITH RIGHT MOUSEBUTTON OR MOUSEWHEEL",
                                  "OR LEFT MOUSEBUTTON WHILE PRESSING CONTROL"};

struct TWordPlace {
    const char* word;
    int sentence;
    const char* prefix;  // what is measured before the word
    int centre;          // design x the sentence is centred on, nudged for single words
};

// "MOUSEWHEEL" is measured after a shorter prefix than the words before it; its larger centre
// puts it back after "OR".
const TWordPlace kWordTable[kWords] = {
    {"DRAG", 0, "", 765},
    {"AND", 0, "DRAG ", 760},
    {"DROP", 0, "DRAG AND ", 760},
    {"THE", 0, "DRAG AND DROP ", 760},
    {"PIECES", 0, "DRAG AND DROP THE ", 760},
    {"WITH", 0, "DRAG AND DROP THE PIECES ", 760},
    {"THE", 0, "DRAG AND DROP THE PIECES WITH ", 760},
    {"LEFT", 0, "DRAG AND DROP THE PIECES WITH THE ", 760},
    {"MOUSEBUTTON", 0, "DRAG AND DROP THE PIECES WITH THE LEFT ", 765},
    {"ROTATE", 1, "", 775},
    {"WITH", 1, "ROTATE ", 775},
    {"RIGHT", 1, "ROTATE WITH ", 775},
    {"MOUSEBUTTON", 1, "ROTATE WITH RIGHT ", 775},
    {"OR", 1, "ROTATE WITH RIGHT MOUSEBUTTON ", 755},
    {"MOUSEWHEEL", 1, "ROTATE WITH RIGHT MOUSEBUTTON  ", 820},
    {"OR", 2, "", 760},
    {"LEFT", 2, "OR ", 760},
    {"MOUSEBUTTON", 2, "OR LEFT ", 775},
    {"WHILE", 2, "OR LEFT MOUSEBUTTON ", 760},
    {"PRESSING", 2, "OR LEFT MOUSEBUTTON WHILE ", 760},
    {"CONTROL", 2, "OR LEFT MOUSEBUTTON WHILE PRESSING ", 760},
};

// The height of each sentence's row and of the return line, as shares of the window height.
constexpr float kRowY[3] = {0.3f, 0.42f, 0.5f};
constexpr float kReturnY = 0.63f;

float RowOf(int entry) { return kRowY[entry < 9 ? 0 : entry < 15 ? 1 : 2]; }

void Veil(float alpha) {
    SetDrawColor(0, 0, 0);
    SetDrawAlpha(0.8f * alpha);
    FillRectangle(0, 0, kDesignWidth, kDesignHeight);
}
}  // namespace

THelpPtr THelp::start() {
    // One help at a time: a running one (a menu opened from a fly-in may have started it) would
    // otherwise be dropped with its music still playing.
    CloseHelpScreen();
    auto screen = std::make_shared<THelp>();
    const std::vector<int> white{255, 255, 255};
    screen->Zoom = 0.6f;
    const double half = static_cast<double>(ScaleX) * screen->Zoom * 0.5;
    for (int k = 0; k < kWords; ++k) {
        const TWordPlace& p = kWordTable[k];
        screen->TextLine[k] = TTextLine::build(p.word, white);
        // Where the word's centre stands if the whole sentence, at scale Zoom, were centred.
        const int offset = MeasureTextWidth(kSentence[p.sentence]) - 2 * MeasureTextWidth(p.prefix) -
                           MeasureTextWidth(p.word);
        screen->X[k] = static_cast<float>(static_cast<double>(ScaleX) * p.centre - offset * half);
    }
    screen->TextLine[21] = TTextLine::build("PRESS ANY KEY TO RETURN TO THE MENU", white);
    screen->X[21] = 780 * ScaleX;
    // The words of sentence 1 wobble along x and y in turn, alternately one way and the other.
    const int wx = WindowX(10), wy = WindowY(10);
    screen->MovingWayX = {-wx, 0, wx, 0, -wx, 0, wx, 0, -wx};
    screen->MovingWayY = {0, -wy, 0, wy, 0, -wy, 0, wy, 0};
    screen->Duration = {500, 700, 600, 800, 500, 700, 600, 800, 500, 700, 600, 800};
    screen->SpeedControl = std::make_shared<TSpeedControl>();
    screen->Music = LoadSoundFromSource("incbin::medien/Sounds/HelpMusic.ogg", 0);
    screen->Kanal = PlaySoundOnce(screen->Music, nullptr);
    screen->SpeedControl->Start();
    return screen;
}

int THelp::show() {
    SpeedControl->UpdateTime();
    return showAtDuration();
}

int THelp::showAtDuration() {
    const int t = SpeedControl->Duration;
    const float H = static_cast<float>(ScreenHeight);
    const std::vector<float> scale{Zoom, Zoom};
    auto p = [this](int period, int offset, int channel, int curve) {
        SpeedControl->UpdateStates(period, offset);
        return SpeedControl->GetValue(channel, curve);
    };
    if (t < kFadeFrom) {
        const float veil = p(1500, 0, 0, 0);
        const float a1 = p(1500, 500, 0, 0);
        const float a2 = p(1500, 4000, 0, 0);
        const float a3 = p(1500, 11000, 0, 0);
        Veil(veil);
        // Sentence 1 fades in wobbling; the wobble dies away from 2500 to 4000 ms.
        SetDrawAlpha(a1);
        const float d1 = 1 - std::min(1.0f, std::max(0, t - 2500) / 1500.0f);
        for (int i = 0; i < 9; ++i) {
            const float m = d1 * p(Duration[i], 100 * i, 6, 13);
            TextLine[i]->draw(X[i] + m * MovingWayX[i], kRowY[0] * H + m * MovingWayY[i], 0, scale);
        }
        // Sentences 2 and 3 fade in rocking, neighbours the other way; it dies away from 6000 ms.
        SetDrawAlpha(a2);
        const float d2 = 1 - std::min(1.0f, std::max(0, t - 6000) / 1500.0f);
        for (int i = 9; i < kWords; ++i) {
            const int period = i < 15 ? Duration[14 - i] : Duration[i - 10];
            const float m = d2 * p(period, 100 * i, 6, 13);
            TextLine[i]->draw(X[i], RowOf(i) * H, (i % 2 ? -12 : 12) * m, scale);
        }
        SetDrawRotation(0);
        SetDrawAlpha(a3);
        TextLine[21]->draw(X[21], kReturnY * H, 0, scale);
        return 0;
    }
    if (t <= kEnd) {
        // Everything at rest, fading out evenly.
        const float v = 1 - p(2000, kFadeFrom, 0, 0);
        Veil(v);
        SetDrawAlpha(v);
        for (int i = 0; i < kWords; ++i) TextLine[i]->draw(X[i], RowOf(i) * H, 0, scale);
        SetDrawRotation(0);
        TextLine[21]->draw(X[21], kReturnY * H, 0, scale);
        return 0;
    }
    // The natural end leaves the music, which ends with the script, alone. Once the help has run
    // to its end the menu does not open it by itself again.
    LaunchState = 1;
    // This may release the screen itself: nothing of it is touched after.
    HelpScreen = nullptr;
    return 0;
}

int CloseHelpScreen() {
    if (!HelpScreen) return 0;
    StopSoundChannel(HelpScreen->Kanal);
    HelpScreen = nullptr;
    return 0;
}
