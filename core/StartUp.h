// The program's spine: start-up, intro, resume or menu, and the endless frame loop.
#pragma once
#include <memory>
#include <string>

class TIntro;

// The program's top-level routine; a second call returns 0 at once.
int StartProgram();
// Start-up, intro, resume or menu, then the frame loop; never returns (a second call does).
void Main();

// The window size chosen at start-up, from the desktop and a saved size.
struct TWindowChoice {
    bool savedAccepted = false;  // the saved size fits the desktop
    float scaleX = 0, scaleY = 0;
    int width = 0, height = 0;
};
TWindowChoice ChooseWindowSize(int desktopW, int desktopH, bool haveSaved, int savedW, int savedH);
// Opens the configuration file as ConfigReadStream and chooses the window from its first two
// lines; a size that does not fit the desktop leaves the stream null (the file ignored).
TWindowChoice OpenSavedConfiguration(int desktopW, int desktopH);

// F1 in the game: opens the help screen (closing the credits) or closes the running one.
int ToggleHelpScreen();

// The intro's entrance and exit, with the menu fading in under the exit when the menu follows;
// a held mouse button or a typed character ends it. GlobalAlpha is 1 again when it returns.
void PlayIntro(const std::shared_ptr<TIntro>& intro);
