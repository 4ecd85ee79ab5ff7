// Snapping decisions, group strings, layout and the two sort orders, without a display.
#include <gtest/gtest.h>

#include <cmath>

#include "PuzzleFixture.h"
#include "core/layer/Numbers.h"

TEST(Join, TolerancesFromTwelve) {
    TPuzzle p;
    EXPECT_EQ(p.DistanceLimit(), 19);
    EXPECT_EQ(p.AngleLimit(), 9);
    p.Verbund_Toleranz = 0;
    EXPECT_EQ(p.DistanceLimit(), 1);
    EXPECT_EQ(p.AngleLimit(), 1);
}

TEST(Join, NeighbourTablesAreSymmetric) {
    TPuzzle p = HandMadePuzzle(3, 3);
    EXPECT_FLOAT_EQ(p.Nachbar_Abstand(0, 0, 0), 100);
    EXPECT_FLOAT_EQ(p.Nachbar_Abstand(0, 0, 3), 100);
    EXPECT_EQ(p.Nachbar_Abstand(0, 0, 1), 0);
    EXPECT_EQ(p.Nachbar_Abstand(0, 0, 2), 0);
    EXPECT_FLOAT_EQ(p.Nachbar_Winkel(1, 1, 0), 360);
    EXPECT_FLOAT_EQ(p.Nachbar_Winkel(1, 1, 1), 270);
    EXPECT_FLOAT_EQ(p.Nachbar_Winkel(1, 1, 2), 180);
    EXPECT_FLOAT_EQ(p.Nachbar_Winkel(1, 1, 3), 90);
    EXPECT_FLOAT_EQ(p.Nachbar_Abstand(0, 1, 0), p.Nachbar_Abstand(1, 1, 2));
    EXPECT_NEAR(std::fmod(p.Nachbar_Winkel(0, 1, 0) - p.Nachbar_Winkel(1, 1, 2) + 360, 360), 180, 1e-4);
}

TEST(Join, DistanceLimitOnEverySide) {
    for (int side = 0; side < 4; ++side) {
        for (float error : {0.0f, 18.5f, -18.5f, 19.0f, -19.0f, 25.0f}) {
            TPuzzle p = HandMadePuzzle(3, 3);
            int ni = 1 + kSideDi[side], nj = 1 + kSideDj[side];
            PlaceBeside(p, 1, 1, ni, nj);
            // Push the neighbour along the line between the two centres.
            p.Puzzleteil_X(ni, nj) += error * kSideDi[side];
            p.Puzzleteil_Y(ni, nj) += error * kSideDj[side];
            bool expected = std::fabs(error) < 19;
            EXPECT_EQ(p.PairSnaps(1, 1, side), expected) << "side " << side << " error " << error;
        }
    }
}

TEST(Join, RotationDifferenceLimit) {
    for (float diff : {0.0f, 8.9f, -8.9f, 9.0f, 351.5f, 350.0f}) {
        TPuzzle p = HandMadePuzzle(2, 1);
        PlaceBeside(p, 0, 0, 1, 0);
        p.Puzzleteil_Drehwinkel(1, 0) = diff;
        float d = std::fabs(std::remainder(diff, 360.0f));
        bool expected = d < 9;
        EXPECT_EQ(p.PairSnaps(0, 0, 0), expected) << diff;
    }
}

TEST(Join, DirectionLimitIsComparedInWholeDegrees) {
    for (float off : {0.0f, 8.5f, 8.99f, -8.99f, 9.05f, -9.05f, 10.0f}) {
        TPuzzle p = HandMadePuzzle(2, 1);
        double a = off * M_PI / 180.0;
        p.Puzzleteil_X(1, 0) = static_cast<float>(p.Puzzleteil_X(0, 0) + 100 * std::cos(a));
        p.Puzzleteil_Y(1, 0) = static_cast<float>(p.Puzzleteil_Y(0, 0) + 100 * std::sin(a));
        bool expected = std::fabs(off) < 9;
        EXPECT_EQ(p.PairSnaps(0, 0, 0), expected) << off;
    }
}

TEST(Join, TurnedGroupsSnapOnlyAlongTheirTurnedDirection) {
    for (float r : {30.0f, 90.0f, 200.0f, -45.0f, 725.0f}) {
        TPuzzle p = HandMadePuzzle(3, 3);
        for (int side = 0; side < 4; ++side) {
            int ni = 1 + kSideDi[side], nj = 1 + kSideDj[side];
            PlaceBeside(p, 1, 1, ni, nj, r);
            EXPECT_TRUE(p.PairSnaps(1, 1, side)) << r << " side " << side;
        }
        // Turned pieces laid out unturned do not fit (unless the turn is a whole circle).
        TPuzzle q = HandMadePuzzle(2, 1);
        PlaceBeside(q, 0, 0, 1, 0);
        q.Puzzleteil_Drehwinkel(0, 0) = q.Puzzleteil_Drehwinkel(1, 0) = r;
        EXPECT_EQ(q.PairSnaps(0, 0, 0), std::fabs(std::remainder(r, 360.0f)) < 9) << r;
    }
}

TEST(Join, GroupStringsGrowMergeAndStay) {
    TPuzzle p = HandMadePuzzle(3, 3);
    p.Auswahl_i = 1;
    p.Auswahl_j = 1;
    PlaceBeside(p, 1, 1, 2, 1);
    p.Nachbarschaftsanalyse();
    ASSERT_EQ(p.Verbund.size(), 1u);
    EXPECT_EQ(p.Verbund[0], ",1/1,2/1,");  // the dropped piece first, then its neighbour
    EXPECT_EQ(p.fertig, 0);
    // A dropped piece fitting two neighbours joins both in one call.
    p.Puzzleteil_X(0, 0) = 200;
    p.Puzzleteil_Y(0, 0) = 200;
    PlaceBeside(p, 0, 0, 1, 0);
    PlaceBeside(p, 0, 0, 0, 1);
    p.Auswahl_i = 0;
    p.Auswahl_j = 0;
    p.Nachbarschaftsanalyse();
    ASSERT_EQ(p.Verbund.size(), 2u);
    EXPECT_EQ(p.Verbund[0], ",0/0,1/0,0/1,");  // the longest group comes first
    EXPECT_EQ(p.Verbund[1], ",1/1,2/1,");
    // Bring the other group beside the first: the two merge into the selected piece's group.
    p.Auswahl_i = 1;
    p.Auswahl_j = 1;
    PlaceBeside(p, 1, 0, 1, 1);
    p.Abgehandelter_Verbund = TPuzzle::PieceKey(1, 1);
    p.Verbund_positionieren(1, 1, 1);
    p.Nachbarschaftsanalyse();
    ASSERT_EQ(p.Verbund.size(), 2u);
    EXPECT_EQ(p.Verbund[1], "");
    EXPECT_EQ(p.Verbund[0].size(), 4u * 5 + 1);
    for (const char* key : {",0/0,", ",1/0,", ",0/1,", ",1/1,", ",2/1,"})
        EXPECT_NE(FindSubstring(p.Verbund[0], key, 1), 0) << key;
    // Nothing new fits: nothing changes.
    std::vector<std::string> before = p.Verbund;
    p.Nachbarschaftsanalyse();
    EXPECT_EQ(p.Verbund, before);
}

TEST(Join, KeysMatchExactlyOneTokenInTenByTen) {
    TPuzzle p = HandMadePuzzle(10, 10);
    std::string all = ",";
    for (int i = 0; i < 10; ++i)
        for (int j = 0; j < 10; ++j) all += TPuzzle::PieceToken(i, j);
    EXPECT_EQ(all.size(), 401u);
    for (int i = 0; i < 10; ++i)
        for (int j = 0; j < 10; ++j) {
            std::string key = TPuzzle::PieceKey(i, j);
            int first = FindSubstring(all, key, 1);
            EXPECT_EQ(first, 1 + 4 * (i * 10 + j));
            EXPECT_EQ(FindSubstring(all, key, first + 1), 0);
        }
    EXPECT_EQ(FindSubstring(",1/2,3/4,", ",2/3,", 1), 0);  // digits across two tokens never match
}

TEST(Join, LayoutPlacesTheGroupAroundTheTurnedStartPiece) {
    TPuzzle p = HandMadePuzzle(2, 2);
    p.Verbund = {",0/0,1/0,1/1,0/1,"};
    p.Puzzleteil_X(0, 0) = 200;
    p.Puzzleteil_Y(0, 0) = 300;
    p.Puzzleteil_Drehwinkel(0, 0) = 90;
    p.Abgehandelter_Verbund = TPuzzle::PieceKey(0, 0);
    p.Verbund_positionieren(0, 0, 0);
    // Turned clockwise by 90 degrees: right becomes down, down becomes left.
    EXPECT_NEAR(p.Puzzleteil_X(1, 0), 200, 1e-3);
    EXPECT_NEAR(p.Puzzleteil_Y(1, 0), 400, 1e-3);
    EXPECT_NEAR(p.Puzzleteil_X(0, 1), 100, 1e-3);
    EXPECT_NEAR(p.Puzzleteil_Y(0, 1), 300, 1e-3);
    EXPECT_NEAR(p.Puzzleteil_X(1, 1), 100, 1e-3);
    EXPECT_NEAR(p.Puzzleteil_Y(1, 1), 400, 1e-3);
    for (int i = 0; i < 2; ++i)
        for (int j = 0; j < 2; ++j) EXPECT_EQ(p.Puzzleteil_Drehwinkel(i, j), 90);
    EXPECT_EQ(p.Abgehandelter_Verbund.size(), 17u);
}

TEST(Join, SortOrders) {
    TPuzzle p;
    p.Verbund = {",0/0,", "", ",1/1,2/2,", ",3/3,", ",4/4,5/5,6/6,"};
    p.VerbundLaengeSort();
    EXPECT_EQ(p.Verbund, (std::vector<std::string>{",4/4,5/5,6/6,", ",1/1,2/2,", ",0/0,", ",3/3,", ""}));
    *p.Reihenfolge = {5, 3, 8, 1, 0};
    p.ReihenfolgeSort(1, 0);
    EXPECT_EQ(*p.Reihenfolge, (std::vector<int>{1, 5, 3, 8, 0}));
    p.ReihenfolgeSort(5, 1);  // already there
    EXPECT_EQ(*p.Reihenfolge, (std::vector<int>{1, 5, 3, 8, 0}));
    p.ReihenfolgeSort(0, 2);  // the last entry is found without being searched
    EXPECT_EQ(*p.Reihenfolge, (std::vector<int>{1, 5, 0, 3, 8}));
    p.ReihenfolgeSort(3, 4);  // a later position never moves anything
    EXPECT_EQ(*p.Reihenfolge, (std::vector<int>{1, 5, 0, 3, 8}));
}

TEST(Join, DrawOrderStartsWithTheLongestGroup) {
    TPuzzle p = HandMadePuzzle(3, 3);
    *p.Reihenfolge = {8, 7, 6, 5, 4, 3, 2, 1, 0};
    p.Verbund = {",2/2,2/1,"};
    p.Puzzleteil_X(0, 0) = 200;
    p.Puzzleteil_Y(0, 0) = 200;
    PlaceBeside(p, 0, 0, 1, 0);
    PlaceBeside(p, 0, 0, 0, 1);
    p.Auswahl_i = 0;
    p.Auswahl_j = 0;
    p.Nachbarschaftsanalyse();
    // Group ",0/0,1/0,0/1," (pieces 0, 3, 1) is longest, then ",2/2,2/1," (8, 7); the single
    // pieces follow in their old relative order.
    EXPECT_EQ(*p.Reihenfolge, (std::vector<int>{0, 3, 1, 8, 7, 6, 5, 4, 2}));
}
