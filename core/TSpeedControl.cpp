#include "core/TSpeedControl.h"

#include <cmath>
#include <cstdint>
#include <initializer_list>

#include "core/Utilities.h"
#include "core/layer/Input.h"
#include "core/layer/Numbers.h"

void TSpeedControl::StartAt(unsigned clock) {
    StartTime = static_cast<int>(clock);
    Duration = 0;
    Repetitions = 0;
}

void TSpeedControl::Start() { StartAt(MillisecondClock()); }

void TSpeedControl::UpdateTimeAt(unsigned clock) {
    Now = static_cast<int>(clock);
    // Differences of the wrapping 32-bit clock are taken in 32-bit arithmetic.
    Duration = static_cast<int>(static_cast<uint32_t>(Now) - static_cast<uint32_t>(StartTime));
}

void TSpeedControl::UpdateTime() { UpdateTimeAt(MillisecondClock()); }

void TSpeedControl::UpdateStates(int period, int offset) {
    if (period == 0) period = 1;  // a zero period would divide by zero; treat it as 1 ms
    RealStartPoint = static_cast<int>(static_cast<uint32_t>(StartTime) + static_cast<uint32_t>(offset));
    int t = static_cast<int>(static_cast<uint32_t>(Now) - static_cast<uint32_t>(RealStartPoint));
    Repetitions = t / period;
    int r = t - Repetitions * period;
    float g = static_cast<float>(r) / static_cast<float>(period);
    GeneralState = g;
    AbsState.assign(7, g);
    Sign.assign(7, 1);
    if (t >= 0) {
        if (Repetitions > 0) AbsState[0] = 1;
        if (Repetitions % 2 != 0) AbsState[2] = AbsState[3] = AbsState[5] = AbsState[6] = 1 - g;
        if (Repetitions % 4 >= 2) Sign[3] = Sign[6] = -1;
    } else {
        AbsState[0] = AbsState[1] = AbsState[2] = AbsState[3] = 0;
        AbsState[4] = g + 1;
        AbsState[5] = Repetitions % 2 == 0 ? std::fabs(g) : g + 1;
        AbsState[6] = AbsState[5];
        int m = Repetitions % 4;
        if (m == 0 || m == -1) Sign[6] = -1;
    }
}

namespace {
// Polynomial without constant term, coefficients from the highest power down to x^1.
double Poly(double x, std::initializer_list<double> coeffs) {
    int power = static_cast<int>(coeffs.size());
    double sum = 0;
    for (double c : coeffs) sum += c * std::pow(x, power--);
    return sum;
}
double SinD(double deg) { return std::sin(deg * M_PI / 180.0); }
double CosD(double deg) { return std::cos(deg * M_PI / 180.0); }
}  // namespace

double EaseCurve(int curve, double x, int s) {
    switch (curve) {
        case 1: return s * 0.5 * (1 - CosD(180 * x));
        case 2: return s * Poly(x, {-15.466208457946777, 55.7487678527832, -72.06551361083984,
                                    37.111656188964844, -4.614006996154785, 0.285304993391037});
        case 3: return s * std::pow(x, 3);
        case 4: return s * (std::pow(x - 1, 5) + 1);
        case 5: return s * Poly(x, {-2.4040000438690186, 26.389909744262695, -52.68865966796875,
                                    34.272830963134766, -4.8274102210998535, 0.2573400139808655});
        case 6: return s * Poly(x, {-2.6574699878692627, 6.642920017242432, -3.1323800086975098,
                                    0.14693999290466309});
        case 7: return s * Poly(x, {3.076129913330078, -5.1929497718811035, 0.21918000280857086,
                                    2.8976399898529053});
        case 8: return s * (std::pow(x, 5) - SinD(360 * x) / 8);
        case 9: return s * (std::pow(x - 1, 3) + 1 - SinD(360 * x) / 8);
        case 10: return s * Poly(x, {28.52501678466797, -71.31253814697266, 55.364036560058594,
                                     -11.733511924743652, 0.15700100362300873});
        case 11: return s * Poly(x, {223.2327423095703, -781.3146362304688, 1015.7154541015625,
                                     -586.0021362304688, 132.1080322265625, -2.8172550201416016,
                                     0.07773499935865402});
        case 12: return s * Poly(x, {471.8775939941406, -1651.5716552734375, 2203.46240234375,
                                     -1379.72705078125, 394.2382507324219, -37.4161376953125,
                                     0.13651099801063538});
        case 13: return s * SinD(90 * x);
        case 14: return s * (1 - CosD(90 * x));
        case 15: return static_cast<double>((s * static_cast<int>(2 * x + 1)) / 2);
        default: return s * x;
    }
}

float TSpeedControl::GetValue(int channel, int curve) const {
    if (channel < 0 || channel > 6) return 0;
    return static_cast<float>(EaseCurve(curve & 255, AbsState[channel], Sign[channel]));
}

std::vector<int> TSpeedControl::CreateWaitingSequence(int a, int b, int count, int type, int base) {
    if (count <= 0) return {};
    double d = static_cast<double>(a) - b;
    std::vector<int> v(count, 0);
    auto at = [&](double value) { return TruncateToInt(value); };
    switch (type) {
        case 0:
            for (int k = 0; k < count; ++k) v[k] = at(k * d / count + base);
            break;
        case 1:
            for (int k = 0; k < count; ++k) v[count - 1 - k] = at(k * d / count + base);
            break;
        case 2:
            for (int k = 0; k <= count / 2; ++k) {
                v[k] = at((count / 2.0 - k) * 2 * d / count + base);
                v[count - 1 - k] = v[k];
            }
            break;
        case 3:
            for (int k = 0; k <= count / 2; ++k) {
                v[k] = at(k * 2 * d / count + base);
                v[count - 1 - k] = v[k];
            }
            break;
        case 4: {
            std::vector<int> q = RandomPermutation(count);
            for (int k = 0; k < count; ++k) v[q[k]] = at(k * d / count + base);
            break;
        }
        default:
            for (int k = 0; k < count; ++k) v[k] = base + RandomIntInRange(0, static_cast<int>(d));
            break;
    }
    return v;
}

void TSpeedControl::SetUserControl(const std::vector<int>& keys, const std::vector<int>& buttons) {
    ControlKeys = keys.empty() ? std::vector<int>{32, 13, 39, 40} : keys;
    ControlMouseKeys = buttons.empty() ? std::vector<int>{1, 2} : buttons;
}

int TSpeedControl::GetUserControl() const {
    for (int k : ControlKeys)
        if (IsKeyHeld(k)) return k;
    for (int b : ControlMouseKeys)
        if (IsMouseButtonHeld(b)) return b;
    return 0;
}
