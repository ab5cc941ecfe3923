#include "platform/x11/X11RenderScaler.h"

#include <cstdlib>

namespace {

struct Formats {
    xcb_render_pictformat_t frame = 0;   // 24-bit 0x00RRGGBB, as a surface holds pixels
    xcb_render_pictformat_t window = 0;  // the window's visual
};

bool IsFrameFormat(const xcb_render_pictforminfo_t& info)
{
    const xcb_render_directformat_t& d = info.direct;
    return info.type == XCB_RENDER_PICT_TYPE_DIRECT && info.depth == 24 && d.red_shift == 16 &&
           d.red_mask == 0xFF && d.green_shift == 8 && d.green_mask == 0xFF && d.blue_shift == 0 &&
           d.blue_mask == 0xFF && d.alpha_mask == 0;
}

Formats FindFormats(xcb_connection_t* c, xcb_visualid_t visual)
{
    Formats found;
    xcb_render_query_pict_formats_reply_t* const reply =
        xcb_render_query_pict_formats_reply(c, xcb_render_query_pict_formats(c), nullptr);
    if (reply == nullptr) return found;
    for (auto f = xcb_render_query_pict_formats_formats_iterator(reply); f.rem; xcb_render_pictforminfo_next(&f))
        if (IsFrameFormat(*f.data)) found.frame = f.data->id;
    for (auto s = xcb_render_query_pict_formats_screens_iterator(reply); s.rem; xcb_render_pictscreen_next(&s))
        for (auto d = xcb_render_pictscreen_depths_iterator(s.data); d.rem; xcb_render_pictdepth_next(&d))
            for (auto v = xcb_render_pictdepth_visuals_iterator(d.data); v.rem; xcb_render_pictvisual_next(&v))
                if (v.data->visual == visual) found.window = v.data->format;
    std::free(reply);
    return found;
}

// Transforms and filters came with RENDER 0.6.
bool HasScaling(xcb_connection_t* c)
{
    const xcb_query_extension_reply_t* const extension = xcb_get_extension_data(c, &xcb_render_id);
    if (extension == nullptr || !extension->present) return false;
    xcb_render_query_version_reply_t* const version =
        xcb_render_query_version_reply(c, xcb_render_query_version(c, 0, 11), nullptr);
    const bool recent = version != nullptr && (version->major_version > 0 || version->minor_version >= 6);
    std::free(version);
    return recent;
}

xcb_rectangle_t Rectangle(int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    return {int16_t(left), int16_t(top), uint16_t(right - left), uint16_t(bottom - top)};
}

}  // namespace

std::unique_ptr<CX11RenderScaler> CX11RenderScaler::Open(xcb_connection_t* c, uint32_t window)
{
    if (!HasScaling(c)) return nullptr;
    xcb_get_window_attributes_reply_t* const attributes =
        xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, window), nullptr);
    if (attributes == nullptr) return nullptr;
    const Formats formats = FindFormats(c, attributes->visual);
    std::free(attributes);
    if (formats.frame == 0 || formats.window == 0) return nullptr;
    return std::unique_ptr<CX11RenderScaler>(new CX11RenderScaler(c, window, formats.frame, formats.window));
}

CX11RenderScaler::CX11RenderScaler(xcb_connection_t* c, uint32_t window, xcb_render_pictformat_t frameFormat,
                                   xcb_render_pictformat_t windowFormat)
    : m_pConnection(c), m_frameFormat(frameFormat), m_window(xcb_generate_id(c))
{
    xcb_render_create_picture(c, m_window, window, windowFormat, 0, nullptr);
}

CX11RenderScaler::~CX11RenderScaler()
{
    xcb_render_free_picture(m_pConnection, m_window);
}

xcb_render_picture_t CX11RenderScaler::MakeSource(xcb_pixmap_t pixmap)
{
    const xcb_render_picture_t picture = xcb_generate_id(m_pConnection);
    xcb_render_create_picture(m_pConnection, picture, pixmap, m_frameFormat, 0, nullptr);
    static const char kNearest[] = "nearest";
    xcb_render_set_picture_filter(m_pConnection, picture, sizeof kNearest - 1, kNearest, 0, nullptr);
    return picture;
}

void CX11RenderScaler::Show(xcb_render_picture_t source, const RECT& part, int32_t scale, int32_t x, int32_t y,
                            const std::vector<RECT>* changed)
{
    // Maps the window's pixels to the frame's. 1/scale rounded up: the error stays far
    // below the half pixel at which a sample would cross into the next block.
    const xcb_render_fixed_t step = (65536 + scale - 1) / scale;
    const xcb_render_transform_t transform{step, 0, 0, 0, step, 0, 0, 0, 65536};
    xcb_render_set_picture_transform(m_pConnection, source, transform);
    ClipTo(changed);
    const RECT picture{x, y, x + part.Width() * scale, y + part.Height() * scale};
    if (changed == nullptr) FillAround(picture);
    xcb_render_composite(m_pConnection, XCB_RENDER_PICT_OP_SRC, source, XCB_NONE, m_window,
                         int16_t(part.left * scale), int16_t(part.top * scale), 0, 0, int16_t(x), int16_t(y),
                         uint16_t(picture.Width()), uint16_t(picture.Height()));
}

// One composite clipped to the changed rectangles costs the server only their pixels.
void CX11RenderScaler::ClipTo(const std::vector<RECT>* changed)
{
    if (changed == nullptr) {
        if (!m_bClipped) return;
        const uint32_t none = XCB_NONE;
        xcb_render_change_picture(m_pConnection, m_window, XCB_RENDER_CP_CLIP_MASK, &none);
        m_bClipped = false;
        return;
    }
    std::vector<xcb_rectangle_t> rects;
    rects.reserve(changed->size());
    for (const RECT& rect : *changed) rects.push_back(Rectangle(rect.left, rect.top, rect.right, rect.bottom));
    xcb_render_set_picture_clip_rectangles(m_pConnection, m_window, 0, 0, uint32_t(rects.size()), rects.data());
    m_bClipped = true;
}

// Black around the picture, in strips, so the picture's own pixels never flash black.
void CX11RenderScaler::FillAround(const RECT& picture)
{
    constexpr int32_t kFar = 32767;  // past any window's edge; the server clips
    const xcb_rectangle_t strips[] = {
        Rectangle(0, 0, kFar, picture.top), Rectangle(0, picture.bottom, kFar, kFar),
        Rectangle(0, picture.top, picture.left, picture.bottom), Rectangle(picture.right, picture.top, kFar, picture.bottom)};
    const xcb_render_color_t black{0, 0, 0, 0xFFFF};
    xcb_render_fill_rectangles(m_pConnection, XCB_RENDER_PICT_OP_SRC, m_window, black, 4, strips);
}
