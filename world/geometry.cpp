#include "world/geometry.h"

Overlap Rect::vertical_sides(const Rect& b) const {
    Overlap o;
    int32_t mid_y = (b.top + b.bottom) / 2;
    if (b.top <= top && top <= b.bottom) {
        (top < mid_y ? o.top : o.bottom) = true;
    } else if (b.top <= bottom && bottom <= b.bottom) {
        (bottom > mid_y ? o.bottom : o.top) = true;
    } else if (top <= b.bottom && bottom >= b.top) {
        o.top = o.bottom = true;
    }
    return o;
}

std::optional<Overlap> Rect::overlap(const Rect& b) const {
    Overlap o = vertical_sides(b);
    bool vertical = o.top || o.bottom;
    if (*this == b) return Overlap{true, true, true, true};
    int32_t mid_x = (b.left + b.right) / 2;
    if (b.left <= left && left <= b.right && vertical) {
        (left < mid_x ? o.left : o.right) = true;
        return o;
    }
    if (b.left <= right && right <= b.right && vertical) {
        (right > mid_x ? o.right : o.left) = true;
        return o;
    }
    return std::nullopt;
}
