// Numbers, the random generator, the millisecond clock and text functions.
// Text is a std::string of one byte per character (codes 0..255), so file bytes stay exact.
#pragma once
#include <string>

int TruncateToInt(double value);
int AbsInt(int v);
int SmallerInt(int a, int b);
int LargerInt(int a, int b);
float AbsFloat(float v);
float SmallerFloat(float a, float b);
float LargerFloat(float a, float b);
float FloatModulo(float a, float b);
float RaiseToPower(float base, float exponent);
float SquareRoot(float x);
float SineDegrees(float degrees);
float CosineDegrees(float degrees);
float ArcTangentDegrees(float x);

void SetRandomSeed(int seed);
float RandomUnitFloat();
int RandomIntInRange(int low, int high);
// The generator's state (for tests).
int RandomState();

unsigned MillisecondClock();
void SleepMilliseconds(unsigned ms);

std::string TakeSubstring(const std::string& text, int start, int count);
std::string TakeLeftChars(const std::string& text, int n);
std::string TakeRightChars(const std::string& text, int n);
int FindSubstring(const std::string& text, const std::string& sought, int start);
std::string ToLowerCase(const std::string& text);
std::string StringToLower(const std::string& text);
int StringToInt(const std::string& text);
float StringToFloat(const std::string& text);
std::string IntToString(int value);
std::string FloatToString(float value);
// The first code unit, or -1 for an empty text.
int FirstCharCode(const std::string& text);
// 0-based index of sought at or after from, -1 when none; and of the last occurrence.
int IndexOfText(const std::string& text, const std::string& sought, int from);
int LastIndexOfText(const std::string& text, const std::string& sought);
// Characters [start, end) (0-based); positions outside the text give spaces.
std::string SliceText(const std::string& text, int start, int end);

void InitRuntimeCoreModule();
void InitRandomModule();
void InitStringFunctionsModule();
