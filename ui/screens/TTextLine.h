// One line of text split into letters, each with its own position, turn, offset and colour,
// drawn letter by letter in the current text font. The animated screens write the letters'
// turns and offsets every frame from their scripts and then draw the line.
#pragma once
#include <array>
#include <memory>
#include <string>
#include <vector>

class TTextLine;
using TTextLinePtr = std::shared_ptr<TTextLine>;

class TTextLine {
public:
    std::string Text;
    float MidX = 0;                         // reference point at the last draw, window pixels
    float MidY = 0;
    std::vector<float> Scale = std::vector<float>(3, 0.0f);  // [x, y] of the last draw
    float Rotation = 0;                     // the line's rotation at the last draw, degrees
    int LetterCount = 0;                    // index of the last letter
    std::vector<std::string> Letter;
    std::vector<float> LetterMidX;          // where each letter was drawn (output of draw)
    std::vector<float> LetterMidY;
    std::vector<float> LetterRotation;      // written by the screens, added to Rotation
    std::vector<float> LetterDistanceX;     // written by the screens, window pixels
    std::vector<float> LetterDistanceY;
    std::vector<std::array<int, 3>> LetterColor;
    std::vector<float> LetterHalfWidth;     // half each letter's advance, font pixels
    float TextHalfWidth = 0;                // font pixels
    float TextHalfHeight = 0;
    std::vector<float> LetterTextInterval;  // reference point to each letter's centre, font pixels

    // Measures the text in the current text font, so build it while the font it will be drawn
    // in is current. color is [red, green, blue]; anything else gives white.
    static TTextLinePtr build(const std::string& text, const std::vector<int>& color);
    // x, y in window pixels, rotation in degrees, scale [x, y] (anything else draws at [1, 1]).
    int draw(float x, float y, float rotation, const std::vector<float>& scale);
    // An offset [dx, dy] that moves letter i from its place (line drawn at x, y) to a random
    // point just outside one of the window's edges.
    std::vector<float> GetRandomEdge(int i, int x, int y);
    int SetGeneralLetterColor(const std::vector<int>& color);
};
