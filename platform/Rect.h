#pragma once
// A pixel rectangle, right and bottom exclusive, as the window system reports them.
#include <cstdint>

struct RECT {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;

    int32_t Width() const { return right - left; }
    int32_t Height() const { return bottom - top; }
    bool operator==(const RECT&) const = default;
};
