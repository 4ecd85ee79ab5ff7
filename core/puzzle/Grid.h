// Small fixed-size arrays indexed by piece column and row (and side), as the puzzle keeps them.
#pragma once
#include <vector>

template <typename T>
class Grid2 {
public:
    Grid2() = default;
    Grid2(int cols, int rows, T fill = T()) : cols_(cols), rows_(rows), data_(static_cast<size_t>(cols) * rows, fill) {}
    T& operator()(int i, int j) { return data_[static_cast<size_t>(i) * rows_ + j]; }
    const T& operator()(int i, int j) const { return data_[static_cast<size_t>(i) * rows_ + j]; }
    int Cols() const { return cols_; }
    int Rows() const { return rows_; }
    bool Empty() const { return data_.empty(); }

private:
    int cols_ = 0, rows_ = 0;
    std::vector<T> data_;
};

// [column, row, side] with the four sides 0 right, 1 up, 2 left, 3 down.
template <typename T>
class SideGrid {
public:
    SideGrid() = default;
    SideGrid(int cols, int rows) : rows_(rows), data_(static_cast<size_t>(cols) * rows * 4, T()) {}
    T& operator()(int i, int j, int side) { return data_[(static_cast<size_t>(i) * rows_ + j) * 4 + side]; }
    const T& operator()(int i, int j, int side) const { return data_[(static_cast<size_t>(i) * rows_ + j) * 4 + side]; }

private:
    int rows_ = 0;
    std::vector<T> data_;
};

// Column and row steps of the four sides.
constexpr int kSideDi[4] = {1, 0, -1, 0};
constexpr int kSideDj[4] = {0, -1, 0, 1};
