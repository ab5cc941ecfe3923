#pragma once
// Reads Windows bitmaps (.bmp) into pixel surfaces. The real one decodes with Qt; tests
// use fakes. Any thread, but one call at a time per loader.
#include <memory>

class CSurface;

// The game shows pictures in its 640 x 480 game area, and larger ones are refused before
// anything is decoded: a damaged or hostile file cannot make the game allocate more than
// that area holds, however much the display magnifies it later.
inline constexpr int kMaxBitmapWidth = 640;
inline constexpr int kMaxBitmapHeight = 480;
inline constexpr long long kMaxBitmapBytes = 4ll * kMaxBitmapWidth * kMaxBitmapHeight;

class IBitmapLoader {
public:
    virtual ~IBitmapLoader() = default;
    // name is looked up as a resource bundled with the program first, then as a file path
    // (relative to the current directory). Null when neither holds a whole, readable
    // bitmap within the limits above. Pixels come back as 0x00RRGGBB.
    virtual std::unique_ptr<CSurface> LoadBitmap(const char* name) = 0;
};
