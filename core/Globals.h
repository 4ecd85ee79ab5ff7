// The program-wide variables: they live for the whole run; the start-up makes them.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/layer/Drawing.h"
#include "core/layer/Fonts.h"
#include "core/layer/Sound.h"
#include "core/layer/Streams.h"

class THelp;
class TCredits;
class TButton;
class TPuzzle;
class TMacDockImitat_Vertikal_Left;
class TMacDockImitat_Vertikal_Right;
class TMacDockImitat_Horizontal;
class THorizontalBar;
class TImagePreview;
class TGitterPreview;

extern float ScaleX;                  // window width / 1500
extern float ScaleY;                  // window height / 1125
extern float GlobalAlpha;             // alpha of the menu widgets (the fade-in under the intro)
extern TStreamPtr ConfigReadStream;   // the configuration file while start-up reads it
extern int ScreenWidth;
extern int ScreenHeight;
extern TImagePtr BackgroundImage;
extern std::vector<float> BackgroundScale;
extern TImagePtr MenuTableImage;
extern const std::string GlyphOrder;  // the characters of the bitmap-font strip in frame order
extern TImageFontPtr TitleFont;
extern std::shared_ptr<THelp> HelpScreen;
extern std::shared_ptr<TCredits> CreditsScreen;
extern std::vector<std::shared_ptr<TButton>> Buttons;
extern std::vector<TSoundPtr> ButtonSounds;
extern std::shared_ptr<TPuzzle> CurrentPuzzle;
extern std::shared_ptr<TMacDockImitat_Vertikal_Left> LeftDock;
extern std::shared_ptr<TMacDockImitat_Vertikal_Right> RightDock;
extern std::shared_ptr<TMacDockImitat_Horizontal> MainDock;
extern std::vector<std::shared_ptr<THorizontalBar>> Sliders;
extern std::vector<int> DockSelection;
extern int SliderChanged;
extern int MotiveIndex;
extern int MotiveRow;
extern std::shared_ptr<TImagePreview> ImagePreview;
extern std::vector<std::string> ImagePaths;
extern std::shared_ptr<TGitterPreview> GridPreview;
extern uint8_t LaunchState;           // what LoadConfiguration found (0 nothing .. 3)
extern uint8_t LastTypedChar;

// The design canvas that every screen is laid out on.
constexpr int kDesignWidth = 1500;
constexpr int kDesignHeight = 1125;
