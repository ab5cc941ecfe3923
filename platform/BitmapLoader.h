#pragma once
// Reads Windows bitmaps (.bmp) into pixel surfaces. The real one decodes with Qt; tests
// use fakes. Any thread, but one call at a time per loader.
#include <memory>

class CSurface;

// Larger pictures are refused before anything is decoded, so a damaged or hostile file
// cannot make the game allocate without bound.
inline constexpr int kMaxBitmapSide = 16384;
inline constexpr long long kMaxBitmapBytes = 64ll * 1024 * 1024;

class IBitmapLoader {
public:
    virtual ~IBitmapLoader() = default;
    // name is looked up as a resource bundled with the program first, then as a file path
    // (relative to the current directory). Null when neither holds a whole, readable
    // bitmap within the limits above. Pixels come back as 0x00RRGGBB.
    virtual std::unique_ptr<CSurface> LoadBitmap(const char* name) = 0;
};
