// Joining pieces into groups: the group strings, snapping, layout, the orders, completion.
#include <algorithm>
#include <cmath>
#include <utility>

#include "core/Globals.h"
#include "core/Utilities.h"
#include "core/layer/Input.h"
#include "core/layer/Numbers.h"
#include "core/puzzle/PuzzleState.h"
#include "core/puzzle/TPuzzle.h"
#include "ui/screens/TCongratulations.h"

std::string TPuzzle::PieceToken(int i, int j) { return IntToString(i) + "/" + IntToString(j) + ","; }
std::string TPuzzle::PieceKey(int i, int j) { return "," + PieceToken(i, j); }

std::vector<std::pair<int, int>> TPuzzle::GroupPieces(const std::string& group) {
    // Every token is a digit, "/", a digit (the grid never exceeds 10 x 10).
    std::vector<std::pair<int, int>> pieces;
    for (size_t p = 1; p + 1 < group.size(); ++p)
        if (group[p] == '/') pieces.emplace_back(group[p - 1] - '0', group[p + 1] - '0');
    return pieces;
}

int TPuzzle::DistanceLimit() const { return TruncateToInt(RaiseToPower(1.2820889949798584f, Verbund_Toleranz)); }
int TPuzzle::AngleLimit() const { return LargerInt(1, (Verbund_Toleranz * 8) / 10); }

int TPuzzle::Verbund_positionieren(int i, int j, int g) {
    if (g < 0 || g >= static_cast<int>(Verbund.size())) return 0;
    for (int n = 0; n < 4; ++n) {
        int ni = i + kSideDi[n], nj = j + kSideDj[n];
        if (ni < 0 || nj < 0 || ni >= Spalten || nj >= Reihen) continue;
        std::string key = PieceKey(ni, nj);
        if (FindSubstring(Verbund[g], key, 1) && !FindSubstring(Abgehandelter_Verbund, key, 1)) {
            Abgehandelter_Verbund += PieceToken(ni, nj);
            float R = Puzzleteil_Drehwinkel(i, j);
            Puzzleteil_Drehwinkel(ni, nj) = R;
            double angle = (static_cast<double>(Nachbar_Winkel(i, j, n)) + R) * M_PI / 180.0;
            double dist = Nachbar_Abstand(i, j, n);
            Puzzleteil_X(ni, nj) = static_cast<float>(Puzzleteil_X(i, j) + std::cos(angle) * dist);
            Puzzleteil_Y(ni, nj) = static_cast<float>(Puzzleteil_Y(i, j) + std::sin(angle) * dist);
            Verbund_positionieren(ni, nj, g);
        }
    }
    return 0;
}

void TPuzzle::JoinGroupsAgain() {
    const float window[2] = {static_cast<float>(ScreenWidth), static_cast<float>(ScreenHeight)};
    for (size_t g = 0; g < Verbund.size(); ++g) {
        const std::vector<std::pair<int, int>> pieces = GroupPieces(Verbund[g]);
        if (pieces.empty()) continue;
        // The box around the group's centres, and its mean, on both axes.
        struct TSpan { float lo[2], hi[2], mid[2]; };
        auto span = [&]() {
            TSpan s{{1e30f, 1e30f}, {-1e30f, -1e30f}, {0, 0}};
            for (const auto& [i, j] : pieces) {
                const float at[2] = {Puzzleteil_X(i, j), Puzzleteil_Y(i, j)};
                for (int a = 0; a < 2; ++a) {
                    s.lo[a] = std::min(s.lo[a], at[a]);
                    s.hi[a] = std::max(s.hi[a], at[a]);
                    s.mid[a] += at[a] / static_cast<float>(pieces.size());
                }
            }
            return s;
        };
        const TSpan scaled = span();
        Abgehandelter_Verbund = PieceKey(pieces[0].first, pieces[0].second);
        Verbund_positionieren(pieces[0].first, pieces[0].second, static_cast<int>(g));
        const TSpan joined = span();
        float shift[2];
        for (int a = 0; a < 2; ++a) {
            shift[a] = scaled.mid[a] - joined.mid[a];
            const float from = std::min(0.0f, scaled.lo[a]), to = std::max(window[a], scaled.hi[a]);
            const float lo = joined.lo[a] + shift[a], hi = joined.hi[a] + shift[a];
            if (hi - lo > to - from)
                shift[a] += 0.5f * (from + to - lo - hi);
            else if (lo < from)
                shift[a] += from - lo;
            else if (hi > to)
                shift[a] -= hi - to;
        }
        for (const auto& [i, j] : pieces) {
            Puzzleteil_X(i, j) += shift[0];
            Puzzleteil_Y(i, j) += shift[1];
        }
    }
    Abgehandelter_Verbund.clear();
}

void TPuzzle::PlaceInNewWindow(const Grid2<float>& x, const Grid2<float>& y, const Grid2<float>& angle,
                               const std::vector<std::string>& groups, float ratio, float gridFactor) {
    Puzzleteil_X = x;
    Puzzleteil_Y = y;
    Puzzleteil_Drehwinkel = angle;
    ScaleGrid(Puzzleteil_X, ratio);
    ScaleGrid(Puzzleteil_Y, ratio);
    Verbund = groups;
    if (ratio != gridFactor) JoinGroupsAgain();
}

bool TPuzzle::PairSnaps(int i, int j, int n) const {
    int ni = i + kSideDi[n], nj = j + kSideDj[n];
    if (ni < 0 || nj < 0 || ni >= Spalten || nj >= Reihen) return false;
    const float A = static_cast<float>(AngleLimit());
    const float D = static_cast<float>(DistanceLimit());
    float Ri = Puzzleteil_Drehwinkel(i, j), Rn = Puzzleteil_Drehwinkel(ni, nj);
    float Xi = Puzzleteil_X(i, j), Yi = Puzzleteil_Y(i, j);
    float Xn = Puzzleteil_X(ni, nj), Yn = Puzzleteil_Y(ni, nj);
    if (!(AngleDifference(Ri, Rn) < A)) return false;
    float dist = SquareRoot((Xn - Xi) * (Xn - Xi) + (Yn - Yi) * (Yn - Yi));
    if (!(AbsFloat(Nachbar_Abstand(i, j, n) - dist) < D)) return false;
    int dir = TruncateToInt(AngleDifference(Nachbar_Winkel(i, j, n), VectorAngle(Xi, Yi, Xn, Yn) - Ri));
    return dir < AngleLimit();
}

int TPuzzle::Nachbarschaftsanalyse() {
    const std::string S = PieceKey(Auswahl_i, Auswahl_j);
    std::string M = S;
    for (const std::string& group : Verbund)
        if (FindSubstring(group, S, 1)) { M = group; break; }

    auto lastContaining = [&](const std::string& key) {
        for (int g = static_cast<int>(Verbund.size()) - 1; g >= 0; --g)
            if (FindSubstring(Verbund[g], key, 1)) return g;
        return -1;
    };
    for (int i = 0; i < Spalten; ++i)
        for (int j = 0; j < Reihen; ++j) {
            if (!FindSubstring(M, PieceKey(i, j), 1)) continue;
            for (int n = 0; n < 4; ++n) {
                if (!PairSnaps(i, j, n)) continue;
                int ni = i + kSideDi[n], nj = j + kSideDj[n];
                int C = lastContaining(PieceKey(i, j)), Dg = lastContaining(PieceKey(ni, nj));
                if (C >= 0 && C == Dg) continue;  // already one group: no sound
                Puzzleteil_Drehwinkel(i, j) = Puzzleteil_Drehwinkel(ni, nj);
                if (VerbundSound) PlaySoundOnce(VerbundSound, nullptr);
                std::string pair = PieceKey(i, j) + PieceToken(ni, nj);
                if (Verbund.empty()) {
                    Verbund = {pair};
                } else if (C < 0 && Dg < 0) {
                    Verbund.push_back(pair);
                } else if (C >= 0 && Dg >= 0) {
                    Verbund[C] = TakeLeftChars(Verbund[C], static_cast<int>(Verbund[C].size()) - 1) + Verbund[Dg];
                    Verbund[Dg] = "";
                } else if (C >= 0) {
                    Verbund[C] += PieceToken(ni, nj);
                } else {
                    Verbund[Dg] += PieceToken(i, j);
                }
            }
        }
    VerbundLaengeSort();

    int k = 0;
    for (const std::string& group : Verbund) {
        for (const auto& [i, j] : GroupPieces(group)) ReihenfolgeSort(i * Reihen + j, k++);
        if (FindSubstring(group, S, 1) && fertig == 0 &&
            static_cast<int>(group.size()) >= 4 * Spalten * Reihen + 1)
            fertig = 1;
    }
    if (fertig == 1) {
        Congratulations = TCongratulations::start();
        Mausradwert = 0;
        ClearMouseState();
        ClearKeyboardState();
        fertig = 2;
    }
    return 0;
}

int TPuzzle::VerbundLaengeSort() {
    for (size_t c = 1; c < Verbund.size(); ++c) {
        std::string s = Verbund[c];
        size_t k = c;
        while (k > 0 && Verbund[k - 1].size() < s.size()) {
            Verbund[k] = Verbund[k - 1];
            --k;
        }
        Verbund[k] = s;
    }
    return 0;
}

int TPuzzle::ReihenfolgeSort(int key, int pos) {
    std::vector<int>& order = *Reihenfolge;
    int n = static_cast<int>(order.size());
    if (n == 0) return 0;
    int f = n - 1;
    for (int k = 0; k <= n - 2; ++k)
        if (order[k] == key) { f = k; break; }
    if (pos >= 0 && pos < f) {
        for (int k = f; k > pos; --k) order[k] = order[k - 1];
        order[pos] = key;
    }
    return 0;
}
