#pragma once
// A surface's picture as one number, for golden frames: FNV-1a over the colour bytes of
// every pixel, row by row. The top byte of a pixel is not part of the picture.
#include <cstdint>

class CSurface;

uint64_t ColourChecksum(const CSurface& surface);
