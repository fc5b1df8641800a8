// Integer points and rectangles of every GUI and drawing operation. A rectangle is given by two
// corners; the second corner is exclusive, so the width is x2 - x1.
#pragma once

namespace zell::math::geom {

template <typename T, int N> struct Point;
template <typename T, int N> struct Rectangle;

template <typename T> struct Point<T, 2> {
    T x{};
    T y{};

    bool operator==(const Point&) const = default;
};

template <typename T> struct Rectangle<T, 2> {
    T x1{};
    T y1{};
    T x2{};
    T y2{};

    bool operator==(const Rectangle&) const = default;

    T Width() const { return x2 - x1; }
    T Height() const { return y2 - y1; }
    Rectangle Moved(const Point<T, 2>& by) const {
        return {x1 + by.x, y1 + by.y, x2 + by.x, y2 + by.y};
    }
    Rectangle Grown(T by) const { return {x1 - by, y1 - by, x2 + by, y2 + by}; }
};

// v / by (by above 0) rounded down, and up: the whole units a count of smaller ones reaches.
constexpr int FloorDiv(int v, int by) {
    return v >= 0 ? v / by : -((by - 1 - v) / by);
}
constexpr int CeilDiv(int v, int by) {
    return -FloorDiv(-v, by);
}

} // namespace zell::math::geom
