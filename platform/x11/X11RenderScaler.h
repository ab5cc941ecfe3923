#pragma once
// Full screen magnified by the X server: its RENDER extension reads the frame from the
// shared segment the game draws into and writes each pixel as a k x k block, with nearest
// filtering, straight onto the window. Magnifying on our side instead means writing the
// whole magnified picture (19 MB on a 3840 x 2160 screen) and the server copying it again.
//
// Made by CX11ShmPresenter on its own connection, for its window; window thread only.
// Whoever makes a source picture frees it (xcb_render_free_picture) before its pixmap.
#include <xcb/render.h>
#include <xcb/xcb.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/Rect.h"

class CX11RenderScaler {
public:
    // Null when the server lacks RENDER 0.6 (transforms and filters), or has no picture
    // format for the window's visual or for 24-bit 0x00RRGGBB pixmaps.
    static std::unique_ptr<CX11RenderScaler> Open(xcb_connection_t* connection, uint32_t window);
    ~CX11RenderScaler();
    CX11RenderScaler(const CX11RenderScaler&) = delete;
    CX11RenderScaler& operator=(const CX11RenderScaler&) = delete;

    // A picture of a depth-24 pixmap holding a frame, ready to be magnified.
    xcb_render_picture_t MakeSource(xcb_pixmap_t pixmap);
    // Shows part of source, each pixel as a scale x scale block (scale 1..64), from (x, y)
    // of the window on. changed: the window's rectangles to redraw, none when nothing
    // changed; null: everything, and the window outside the picture black.
    void Show(xcb_render_picture_t source, const RECT& part, int32_t scale, int32_t x, int32_t y,
              const std::vector<RECT>* changed);

private:
    CX11RenderScaler(xcb_connection_t* connection, uint32_t window, xcb_render_pictformat_t frameFormat,
                     xcb_render_pictformat_t windowFormat);
    void ClipTo(const std::vector<RECT>* changed);
    void FillAround(const RECT& picture);

    xcb_connection_t* const m_pConnection;  // the presenter's
    const xcb_render_pictformat_t m_frameFormat;
    xcb_render_picture_t m_window = 0;
    bool m_bClipped = false;  // the window picture's clip is a list of rectangles
};
