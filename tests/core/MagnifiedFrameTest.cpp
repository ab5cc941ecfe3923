#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <vector>

#include "platform/Surface.h"
#include "render/MagnifiedFrame.h"

namespace {

bool Inside(const std::vector<RECT>& rects, int32_t x, int32_t y)
{
    for (const RECT& rect : rects) {
        if (x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom) return true;
    }
    return false;
}

// A frame as the game draws one: cleared to black, then a few boxes, some where the last
// frame had them (unchanged, though written again), some new.
void DrawFrame(CSurface& frame, std::mt19937& random, const std::vector<RECT>& still)
{
    frame.FillRect({0, 0, frame.Width(), frame.Height()}, 0);
    for (const RECT& box : still) frame.FillRect(box, 0x00FFFFFFu);
    std::uniform_int_distribution<int32_t> x(0, frame.Width() - 1), y(0, frame.Height() - 1), colour(1, 0xFFFFFF);
    for (int i = 0; i < 4; ++i) {
        const int32_t left = x(random), top = y(random);
        frame.FillRect({left, top, left + 1 + x(random) / 8, top + 1 + y(random) / 8}, uint32_t(colour(random)));
    }
}

}  // namespace

// Full screen shows each frame by rewriting only the blocks that changed: after any run of
// frames the view must hold exactly a fresh magnification of the last one, and every view
// pixel that changed from one frame to the next must lie in the rectangles sent on.
TEST(MagnifiedFrameTest, EachUpdateShowsTheWholeFrameAndNamesEveryPixelItChanged)
{
    CSurface frame(67, 41);
    CMagnifiedFrame kept(std::make_unique<CSurface>(300, 200));
    std::mt19937 random(7);
    const std::vector<RECT> still{{10, 10, 20, 14}, {60, 0, 67, 41}};
    const RECT part{3, 0, 67, 41};  // not at the frame's origin, as a game area may be
    std::vector<uint32_t> before;
    for (int n = 0; n < 30; ++n) {
        DrawFrame(frame, random, still);
        const std::vector<RECT> changed = kept.Update(frame, part);
        CMagnifiedFrame fresh(std::make_unique<CSurface>(300, 200));
        fresh.Update(frame, part);
        const CSurface& view = kept.View();
        for (int32_t y = 0; y < view.Height(); ++y) {
            for (int32_t x = 0; x < view.Width(); ++x) {
                ASSERT_EQ(view.Pixel(x, y), fresh.View().Pixel(x, y)) << "frame " << n << " at " << x << ", " << y;
                const size_t i = size_t(y) * view.Width() + x;
                if (n > 0 && before[i] != view.Pixel(x, y)) {
                    ASSERT_TRUE(Inside(changed, x, y)) << "frame " << n << " changed " << x << ", " << y << " unnamed";
                }
            }
        }
        before.assign(view.Pixels(), view.Pixels() + size_t(view.Width()) * view.Height());
    }
    // What is written again unchanged, as the HUD and the title picture are in every
    // frame, is not sent again.
    frame.FillRect({0, 0, frame.Width(), frame.Height()}, 0);
    for (const RECT& box : still) frame.FillRect(box, 0x00FFFFFFu);
    kept.Update(frame, part);
    frame.FillRect({0, 0, frame.Width(), frame.Height()}, 0);
    for (const RECT& box : still) frame.FillRect(box, 0x00FFFFFFu);
    EXPECT_TRUE(kept.Update(frame, part).empty());
}
