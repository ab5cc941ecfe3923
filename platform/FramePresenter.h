#pragma once
// A faster way to show a finished frame in the game's window, where the window system
// offers one: the back buffer is drawn straight in memory the presenter shares with the
// display server, and showing it copies nothing on our side. Where there is none, the
// window paints the frame itself (the ordinary path).
//
// Ownership: memory handed out stays valid while anyone holds it, also after the
// presenter is gone. Threads: the window thread only.
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/Rect.h"

class CSurface;

class IFramePresenter {
public:
    virtual ~IFramePresenter() = default;
    // Memory for width x height pixels (1..16384 each) that Show sends without copying;
    // null when none can be had, and the surface then keeps its own.
    virtual std::shared_ptr<uint32_t> AllocatePixels(int32_t width, int32_t height) = 0;
    // Shows srcRect of src with its top-left corner at (x, y) of the window. It returns at
    // once, and the display server reads the pixels later: call WaitUntilShown before
    // drawing over them. False when nothing could be shown. changed: the only rectangles
    // of src (inside srcRect) that differ from what the window shows, none when nothing
    // does; null when the window may show anything (its first frame, after an expose).
    virtual bool Show(const CSurface& src, const RECT& srcRect, int32_t x, int32_t y,
                      const std::vector<RECT>* changed = nullptr) = 0;
    // Shows part of src magnified, each pixel as a scale x scale block (scale 1..64), from
    // (x, y) of the window on, the rest of the window black; changed as for Show, in src's
    // pixels. False, with nothing sent, where the display server cannot magnify: the
    // caller then magnifies the frame itself and shows that.
    virtual bool ShowMagnified(const CSurface& /*src*/, const RECT& /*part*/, int32_t /*scale*/, int32_t /*x*/,
                               int32_t /*y*/, const std::vector<RECT>* /*changed*/)
    {
        return false;
    }
    // Returns once the display server has read the last frame shown; at once, when it
    // has (a frame later it always has, so this rarely waits).
    virtual void WaitUntilShown() = 0;
};
