// Numbers, the random generator, the millisecond clock and text functions.
#include "core/layer/Numbers.h"

#include <time.h>

#include <cerrno>
#include <algorithm>
#include <charconv>
#include <climits>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdio>

namespace {

const double kPi = 3.14159265358979323846;

// 0 and 0x7fffffff are fixed points of the generator, so they are never its state.
const int kFallbackSeed = 0x1234;
int randomState = kFallbackSeed;

int NextRandomState() {
    int s = 48271 * (randomState % 44488) - 3399 * (randomState / 44488);
    if (s < 0) s += 0x7fffffff;
    randomState = s;
    return s;
}

bool IsSpace(unsigned char c) { return c == ' ' || (c >= 9 && c <= 13); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

unsigned char LowerChar(unsigned char c) {
    if (c >= 'A' && c <= 'Z') return c + 32;
    // Latin-1 capitals (without the multiplication sign) map 32 codes up, as in Unicode.
    if (c >= 192 && c <= 222 && c != 215) return c + 32;
    return c;
}

}  // namespace

int TruncateToInt(double value) {
    // A plain conversion is undefined out of range; NaN and overflow get a defined answer.
    if (std::isnan(value)) return 0;
    if (value >= 2147483647.0) return INT_MAX;
    if (value <= -2147483648.0) return INT_MIN;
    return int(value);
}

int AbsInt(int v) {
    // -INT_MIN does not exist; the nearest int is the honest answer.
    if (v == INT_MIN) return INT_MAX;
    return v < 0 ? -v : v;
}

int SmallerInt(int a, int b) { return a < b ? a : b; }
int LargerInt(int a, int b) { return a > b ? a : b; }
float AbsFloat(float v) { return std::fabs(v); }
float SmallerFloat(float a, float b) { return b > a ? a : b; }
float LargerFloat(float a, float b) { return a > b ? a : b; }
float FloatModulo(float a, float b) { return std::fmod(a, b); }
float RaiseToPower(float base, float exponent) {
    return float(std::pow(double(base), double(exponent)));
}
float SquareRoot(float x) { return float(std::sqrt(double(x))); }
float SineDegrees(float degrees) { return float(std::sin(double(degrees) * (kPi / 180.0))); }
float CosineDegrees(float degrees) { return float(std::cos(double(degrees) * (kPi / 180.0))); }
float ArcTangentDegrees(float x) { return float(std::atan(double(x)) * (180.0 / kPi)); }

void SetRandomSeed(int seed) {
    int s = seed & 0x7fffffff;
    randomState = (s == 0 || s == 0x7fffffff) ? kFallbackSeed : s;
}

float RandomUnitFloat() {
    return float(NextRandomState() & 0x0ffffff0) / 268435456.0f;
}

int RandomIntInRange(int low, int high) {
    if (low > high) {
        int t = low;
        low = high;
        high = t;
    }
    int s1 = NextRandomState();
    int s2 = NextRandomState();
    // Both parts fit a double's mantissa exactly, so u is exact and below 1.
    double u = (double(s1 & 0x1ffffffc) + double(s2 & 0x1ffffff8) / 134217728.0) / 536870912.0;
    int64_t span = int64_t(high) - int64_t(low) + 1;
    return int(int64_t(low) + int64_t(u * double(span)));
}

int RandomState() { return randomState; }

unsigned MillisecondClock() {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    uint64_t ms = uint64_t(ts.tv_sec) * 1000u + uint64_t(ts.tv_nsec) / 1000000u;
    return unsigned(ms & 0xffffffffu);
}

void SleepMilliseconds(unsigned ms) {
    timespec left;
    left.tv_sec = time_t(ms / 1000);
    left.tv_nsec = long(ms % 1000) * 1000000L;
    while (nanosleep(&left, &left) != 0 && errno == EINTR) {
    }
}

std::string TakeSubstring(const std::string& text, int start, int count) {
    int64_t length = int64_t(text.size());
    int64_t first = start;
    int64_t n = count < 0 ? length : int64_t(count);
    if (first < 1) {
        // Positions before the text hold nothing; a count still covers them.
        if (count >= 0) n += first - 1;
        first = 1;
    }
    if (first > length || n <= 0) return std::string();
    if (n > length - first + 1) n = length - first + 1;
    return text.substr(size_t(first - 1), size_t(n));
}

std::string TakeLeftChars(const std::string& text, int n) {
    if (n <= 0) return std::string();
    return text.substr(0, size_t(n));
}

std::string TakeRightChars(const std::string& text, int n) {
    if (n <= 0) return std::string();
    if (size_t(n) >= text.size()) return text;
    return text.substr(text.size() - size_t(n));
}

int FindSubstring(const std::string& text, const std::string& sought, int start) {
    size_t from = start < 1 ? 0 : size_t(start) - 1;
    size_t at = text.find(sought, from);
    return at == std::string::npos ? 0 : int(at) + 1;
}

std::string ToLowerCase(const std::string& text) {
    std::string result = text;
    for (char& c : result) c = char(LowerChar((unsigned char)c));
    return result;
}

std::string StringToLower(const std::string& text) { return ToLowerCase(text); }

int StringToInt(const std::string& text) {
    size_t i = 0, n = text.size();
    while (i < n && IsSpace((unsigned char)text[i])) ++i;
    bool negative = false;
    if (i < n && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    if (i < n && (text[i] == '$' || text[i] == '%')) {
        // Hexadecimal and binary digits spell a 32-bit pattern: "$FFFFFFFF" is -1.
        int base = text[i++] == '$' ? 16 : 2;
        uint32_t bits = 0;
        for (; i < n; ++i) {
            int d = HexValue(text[i]);
            if (d < 0 || d >= base) break;
            bits = bits * uint32_t(base) + uint32_t(d);
        }
        int64_t value = bits >= 0x80000000u ? int64_t(bits) - 0x100000000LL : int64_t(bits);
        if (negative) value = value == INT_MIN ? INT_MIN : -value;
        return int(value);
    }
    // Decimal text too long for an int gives the nearest int rather than wrapping around.
    int64_t magnitude = 0;
    for (; i < n && IsDigit(text[i]); ++i) {
        magnitude = magnitude * 10 + (text[i] - '0');
        if (magnitude > 2147483648LL) magnitude = 2147483648LL;
    }
    int64_t value = negative ? -magnitude : magnitude;
    if (value > INT_MAX) return INT_MAX;
    return int(value);
}

float StringToFloat(const std::string& text) {
    // Parsed here rather than by strtod, which follows the locale's decimal comma and also
    // accepts "inf", "nan" and hexadecimal forms that no file of the game holds.
    size_t i = 0, n = text.size();
    while (i < n && IsSpace((unsigned char)text[i])) ++i;
    bool negative = false;
    if (i < n && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    size_t begin = i;
    size_t intDigits = 0, fracDigits = 0;
    while (i < n && IsDigit(text[i])) ++i, ++intDigits;
    size_t mantissaEnd = i;
    if (i < n && text[i] == '.') {
        size_t j = i + 1;
        while (j < n && IsDigit(text[j])) ++j, ++fracDigits;
        if (intDigits + fracDigits > 0) mantissaEnd = j;
    }
    if (intDigits + fracDigits == 0) return 0.0f;
    size_t end = mantissaEnd;
    if (end < n && (text[end] == 'e' || text[end] == 'E')) {
        size_t j = end + 1;
        if (j < n && (text[j] == '-' || text[j] == '+')) ++j;
        if (j < n && IsDigit(text[j])) {
            while (j < n && IsDigit(text[j])) ++j;
            end = j;
        }
    }
    double value = 0;
    auto result = std::from_chars(text.data() + begin, text.data() + end, value,
                                  std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range) {
        // Beyond a double: overflow or underflow, told apart by the decimal exponent of the
        // first non-zero digit.
        long long exponent = 0;
        size_t j = mantissaEnd + 1;
        bool minus = j < end && text[j] == '-';
        if (j < end && (text[j] == '-' || text[j] == '+')) ++j;
        for (; j < end; ++j) exponent = std::min(exponent * 10 + (text[j] - '0'), 1000000000LL);
        if (minus) exponent = -exponent;
        long long place = 0;  // decimal exponent of the first non-zero digit, plus one
        size_t k = begin;
        for (; k < begin + intDigits && text[k] == '0'; ++k) {
        }
        if (k < begin + intDigits) {
            place = (long long)(begin + intDigits - k);
        } else {
            for (k = begin + intDigits + 1; k < mantissaEnd && text[k] == '0'; ++k) --place;
        }
        value = exponent + place > 0 ? HUGE_VAL : 0.0;
    } else if (result.ec != std::errc()) {
        return 0.0f;
    }
    // Values that round past the largest float become infinity (the conversion itself is
    // undefined for them).
    const double kFloatOverflow = std::ldexp(1.0, 128) - std::ldexp(1.0, 103);
    float f = std::fabs(value) >= kFloatOverflow ? HUGE_VALF : float(std::fabs(value));
    return negative ? -f : f;
}

std::string IntToString(int value) { return std::to_string(value); }

std::string FloatToString(float value) {
    char buffer[64];
    snprintf(buffer, sizeof buffer, "%#.9g", double(value));
    std::string text(buffer);
    // The files are read back with a point whatever the locale says.
    const char* point = localeconv()->decimal_point;
    if (point && point[0] && !(point[0] == '.' && point[1] == 0)) {
        size_t at = text.find(point);
        if (at != std::string::npos) text.replace(at, std::char_traits<char>::length(point), ".");
    }
    return text;
}

int FirstCharCode(const std::string& text) {
    return text.empty() ? -1 : int((unsigned char)text[0]);
}

int IndexOfText(const std::string& text, const std::string& sought, int from) {
    size_t at = text.find(sought, from < 0 ? 0 : size_t(from));
    return at == std::string::npos ? -1 : int(at);
}

int LastIndexOfText(const std::string& text, const std::string& sought) {
    size_t at = text.rfind(sought);
    return at == std::string::npos ? -1 : int(at);
}

std::string SliceText(const std::string& text, int start, int end) {
    if (end <= start) return std::string();
    std::string result;
    result.reserve(size_t(int64_t(end) - int64_t(start)));
    for (int64_t i = start; i < end; ++i)
        result += (i >= 0 && i < int64_t(text.size())) ? text[size_t(i)] : ' ';
    return result;
}

// Module start-ups called by the start-up sequence; everything here is ready without them.
void InitRuntimeCoreModule() {}
void InitRandomModule() {}
void InitStringFunctionsModule() {}
