// The desktop's display mode: its size decides the window size.
#pragma once
#include <string>

int DesktopModuleInit();
int QueryDesktopMode(int& width, int& height, int& depth, int& hertz);
int QueryDesktopWidth();
int QueryDesktopHeight();
int QueryDesktopDepth();
int QueryDesktopHertz();
// "16:9", "4:3", ...; 8:5 is given as "16:10".
std::string DesktopAspectRatio();
int GreatestCommonDivisor(int a, int b);
// The ratio for a given size (what DesktopAspectRatio computes for the desktop).
std::string AspectRatioOf(int width, int height);
