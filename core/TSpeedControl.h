// The animation clock every animated object owns: elapsed time, repeating periods with a
// phase, seven phase channels, easing curves and tables of per-item delays.
#pragma once
#include <memory>
#include <vector>

class TSpeedControl {
public:
    int StartTime = 0;
    int RealStartPoint = 0;
    int Now = 0;
    int Duration = 0;
    int Repetitions = 0;
    float GeneralState = 0;
    std::vector<float> AbsState = std::vector<float>(7, 0.0f);
    std::vector<int> Sign = std::vector<int>(7, 0);
    std::vector<int> ControlKeys;
    std::vector<int> ControlMouseKeys;

    void Start();
    void UpdateTime();
    // The channels for an item that starts offset ms after Start and repeats every period ms.
    void UpdateStates(int period, int offset);
    // The channel's value through an easing curve, times the channel's sign.
    float GetValue(int channel, int curve) const;
    // count delays between base and base + (a - b), shaped by type (0 rising, 1 falling,
    // 2 high at both ends, 3 low at both ends, 4 rising in random order, else random).
    static std::vector<int> CreateWaitingSequence(int a, int b, int count, int type, int base);
    void SetUserControl(const std::vector<int>& keys, const std::vector<int>& buttons);
    int GetUserControl() const;

    // The same as UpdateTime, at a given clock value (lets tests drive the clock).
    void UpdateTimeAt(unsigned clock);
    void StartAt(unsigned clock);
};
using TSpeedControlPtr = std::shared_ptr<TSpeedControl>;

// The easing curve alone, for x and a sign.
double EaseCurve(int curve, double x, int sign);
