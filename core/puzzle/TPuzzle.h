// The one puzzle: the picture cut into pieces, their places on the board, the joined groups.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/layer/Images.h"
#include "core/layer/Sound.h"
#include "core/puzzle/Grid.h"

class TProgressBar;
class TCongratulations;
class TSpeedControl;

// The selectable piece counts and the smaller side of each count's grid.
extern const int kPossibleSum[24];
extern const int kPossibleFactor[24];

// How a character typed during the fly-in opens the menu; start-up sets it, so the puzzle needs
// no knowledge of the menu. Empty: the character only ends the fly-in early.
extern std::function<int()> PuzzleMenuDoor;

class TPuzzle {
public:
    int Summe = 0;
    int Spalten = 0;
    int Auswahl_i = 0;
    int Reihen = 0;
    int Auswahl_j = 0;
    std::vector<int> Zufallsposition;
    TImagePtr Bild;
    Grid2<TImagePtr> Puzzleteil;
    Grid2<float> Ziel_X, Ziel_Y;
    Grid2<float> Puzzleteil_X, Puzzleteil_Y, Puzzleteil_Drehwinkel;
    SideGrid<float> Nachbar_Winkel, Nachbar_Abstand;
    TSoundPtr FlyInSound;
    TImagePtr Mouse_Pseudoimage;
    TSoundPtr VerbundSound;
    uint8_t Verbund_Toleranz = 12;
    std::vector<std::string> Verbund;
    std::string Abgehandelter_Verbund;
    // Draw order, bottom first; shared with the grid preview it came from.
    std::shared_ptr<std::vector<int>> Reihenfolge = std::make_shared<std::vector<int>>();
    uint8_t Aktiv_Sensor = 0;
    int Mausradwert = 0;
    int Mausradintervall = 0;
    int OriginalImageWidth = 0, OriginalImageHeight = 0;
    int MemoX = 0, MemoY = 0, MemoWinkel = 0;
    uint8_t Control_Key = 0;
    uint8_t fertig = 0;
    Grid2<float> x, y;
    std::shared_ptr<TProgressBar> ProgressBar;
    std::shared_ptr<TCongratulations> Congratulations;
    std::vector<int> Possible_Sum, Possible_Factor;

    TPuzzle();
    // The puzzle, still without a picture; count is clamped to 4..100.
    static std::shared_ptr<TPuzzle> erschaffen(int count);
    // Takes the image preview's picture and cuts it.
    int importieren();
    // Copies the grid preview's grid.
    int Gitter_importieren();
    // Cuts Bild along the grid, one presented frame per piece.
    int zerschneiden();
    // One frame of play: draws the pieces and handles the mouse.
    int verwenden();
    // Lays out group g around piece (i, j).
    int Verbund_positionieren(int i, int j, int g);
    // After a cut at another size with every piece put at its scaled place: lays each group out
    // joined again as the new pieces fit, its centre where the scaling put it, and pulled in as
    // far as the scaled places allowed if the larger pieces would reach further out of the window.
    void JoinGroupsAgain();
    // After a cut for a window of another size: every piece at its place in the old window
    // (x, y) times the windows' ratio, so that it keeps its proportional place on the board,
    // with its angle and the groups as they were. Where the grid grew by another factor than the
    // window (a picture shown at its own size), the groups are joined again as now cut.
    void PlaceInNewWindow(const Grid2<float>& x, const Grid2<float>& y, const Grid2<float>& angle,
                          const std::vector<std::string>& groups, float ratio, float gridFactor);
    // Snaps the selected piece's group to the neighbours that fit; detects completion.
    int Nachbarschaftsanalyse();
    int VerbundLaengeSort();
    int ReihenfolgeSort(int key, int pos);

    // The key ",i/j," of a piece and its token "i/j,".
    static std::string PieceKey(int i, int j);
    static std::string PieceToken(int i, int j);
    // The pieces (column, row) a group string names, in its order.
    static std::vector<std::pair<int, int>> GroupPieces(const std::string& group);
    // The snapping tolerances: distance in pixels and angle in degrees.
    int DistanceLimit() const;
    int AngleLimit() const;
    // The distances and directions between neighbouring solved centres.
    void BuildNeighbourTables();
    // Whether piece (i, j) and its neighbour on side n lie so that they join.
    bool PairSnaps(int i, int j, int n) const;

    // The pieces fly in from outside the window to where they lie, over 1500 ms with a sound.
    // Only draws: positions, turns, order and groups stay as they are. Needs a cut puzzle.
    int FlyIn();
    // Each piece's start point: one cell outside a random edge of the window.
    void FlyInStarts(Grid2<int>& startX, Grid2<int>& startY) const;
    // One fly-in frame at the time the clock holds: the backdrop and every piece on its way.
    void FlyInFrame(TSpeedControl& clock, const Grid2<int>& startX, const Grid2<int>& startY) const;
    // The pieces of that frame alone, over whatever is drawn.
    void FlyInPieces(TSpeedControl& clock, const Grid2<int>& startX, const Grid2<int>& startY) const;

    // The topmost piece under the pointer; sets Auswahl_i/Auswahl_j; -1 when none.
    int HitTest(int mx, int my);

private:
    void BringToFront(int h);
    void GroupFollows();
    void RememberGrab(int mx, int my);
    void CutPiece(int i, int j, int c, const TPixmapPtr& source);
    void ShowCuttingProgress(int reached);
    int hitPosition_ = -1;
};
using TPuzzlePtr = std::shared_ptr<TPuzzle>;
