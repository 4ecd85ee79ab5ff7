// The menu screen's picture without its loop: used where the menu must be seen but cannot be
// worked (its fade-in under the intro, the redraw behind a saved puzzle's picture).
#pragma once

// Draws the table, the three icon bars, the previews, the slider and the piece count as one menu
// frame does, ignoring what they report. Draws over the caller's backdrop at the caller's alpha.
void DrawMenuScreen();
