#include "tests/fakes/FrameChecksum.h"

#include "platform/Surface.h"

uint64_t ColourChecksum(const CSurface& surface)
{
    uint64_t hash = 14695981039346656037ull;
    const uint32_t* const pixels = surface.Pixels();
    for (size_t i = 0, n = size_t(surface.Width()) * size_t(surface.Height()); i < n; ++i) {
        for (int shift = 0; shift < 24; shift += 8) {
            hash ^= (pixels[i] >> shift) & 0xFFu;
            hash *= 1099511628211ull;
        }
    }
    return hash;
}
