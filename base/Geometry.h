// Integer 2-D points and rectangles shared by the drawing code and the toolkit. A rectangle is
// given by two corners; the second is exclusive, so width = x2 - x1.
#pragma once

namespace zell::math::geom {

template <typename T, int D> struct Point;
template <typename T, int D> struct Rectangle;

template <typename T> struct Point<T, 2> {
    T x = 0;
    T y = 0;

    constexpr Point() = default;
    constexpr Point(T x, T y) : x(x), y(y) {}
    constexpr Point operator+(const Point& o) const { return {x + o.x, y + o.y}; }
    constexpr Point operator-(const Point& o) const { return {x - o.x, y - o.y}; }
    constexpr bool operator==(const Point& o) const = default;
};

template <typename T> struct Rectangle<T, 2> {
    T x1 = 0;
    T y1 = 0;
    T x2 = 0;
    T y2 = 0;

    constexpr Rectangle() = default;
    constexpr Rectangle(T x1, T y1, T x2, T y2) : x1(x1), y1(y1), x2(x2), y2(y2) {}
    constexpr T Width() const { return x2 - x1; }
    constexpr T Height() const { return y2 - y1; }
    constexpr bool operator==(const Rectangle& o) const = default;
    // Edges inclusive, as monitor and hit tests use it.
    constexpr bool Contains(const Point<T, 2>& p) const {
        return p.x >= x1 && p.x <= x2 && p.y >= y1 && p.y <= y2;
    }
    constexpr void Offset(T dx, T dy) {
        x1 += dx;
        x2 += dx;
        y1 += dy;
        y2 += dy;
    }
    // Grows to include o; an empty rectangle (all zero) takes o as it is.
    constexpr void Unite(const Rectangle& o) {
        if (*this == Rectangle()) {
            *this = o;
            return;
        }
        x1 = o.x1 < x1 ? o.x1 : x1;
        y1 = o.y1 < y1 ? o.y1 : y1;
        x2 = o.x2 > x2 ? o.x2 : x2;
        y2 = o.y2 > y2 ? o.y2 : y2;
    }
};

using Point2 = Point<int, 2>;
using Rect2 = Rectangle<int, 2>;

} // namespace zell::math::geom
