// The board's backdrop, drawn under every screen: by start-up, the puzzle and the menus alike.
#pragma once

// Draws the backdrop over the whole window.
void DrawBackdrop();
