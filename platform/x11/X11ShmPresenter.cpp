#include "platform/x11/X11ShmPresenter.h"

#include <xcb/shm.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <sys/ipc.h>
#include <sys/shm.h>

#include "platform/Surface.h"
#include "platform/x11/X11RenderScaler.h"

// XCB rather than Xlib: when the server goes away Xlib's I/O-error path ends the process
// from whichever call noticed, while an XCB connection just turns to an error state. The
// toolkit then closes the game through its own path, which keeps a name being typed.
struct CX11ShmPresenter::Connection {
    xcb_connection_t* connection = nullptr;
    xcb_gcontext_t gc = 0;
    ~Connection()
    {
        if (gc != 0) xcb_free_gc(connection, gc);
        xcb_disconnect(connection);
    }
};

// One shared segment and the server's view of it; it goes when its last holder lets go.
struct CX11ShmPresenter::Segment {
    std::shared_ptr<Connection> connection;
    xcb_shm_seg_t seg = 0;
    uint8_t* address = nullptr;
    int32_t width = 0;
    int32_t height = 0;
    xcb_pixmap_t pixmap = 0;  // with the picture, once the segment is shown magnified
    xcb_render_picture_t picture = 0;
    ~Segment()
    {
        if (picture != 0) xcb_render_free_picture(connection->connection, picture);
        if (pixmap != 0) xcb_free_pixmap(connection->connection, pixmap);
        if (seg != 0) {
            xcb_shm_detach(connection->connection, seg);
            xcb_flush(connection->connection);
        }
        if (address != nullptr) shmdt(address);
    }
};

namespace {

const xcb_visualtype_t* FindVisual(const xcb_setup_t* setup, xcb_visualid_t id)
{
    for (auto screen = xcb_setup_roots_iterator(setup); screen.rem; xcb_screen_next(&screen))
        for (auto depth = xcb_screen_allowed_depths_iterator(screen.data); depth.rem; xcb_depth_next(&depth))
            for (auto visual = xcb_depth_visuals_iterator(depth.data); visual.rem; xcb_visualtype_next(&visual))
                if (visual.data->visual_id == id) return visual.data;
    return nullptr;
}

bool Has32BitPixmapsOfDepth24(const xcb_setup_t* setup)
{
    for (auto format = xcb_setup_pixmap_formats_iterator(setup); format.rem; xcb_format_next(&format))
        if (format.data->depth == 24 && format.data->bits_per_pixel == 32) return true;
    return false;
}

// The server's pixels must be what a surface holds: 32 bits, 0x00RRGGBB, host order.
bool SurfaceLayout(xcb_connection_t* connection, uint32_t window)
{
    xcb_get_window_attributes_reply_t* const attributes =
        xcb_get_window_attributes_reply(connection, xcb_get_window_attributes(connection, window), nullptr);
    xcb_get_geometry_reply_t* const geometry =
        xcb_get_geometry_reply(connection, xcb_get_geometry(connection, window), nullptr);
    const xcb_setup_t* const setup = xcb_get_setup(connection);
    const xcb_visualtype_t* const visual =
        attributes != nullptr ? FindVisual(setup, attributes->visual) : nullptr;
    const uint16_t probe = 1;
    const bool hostLsb = *reinterpret_cast<const uint8_t*>(&probe) == 1;
    const bool ok = visual != nullptr && geometry != nullptr && geometry->depth == 24 &&
                    visual->red_mask == 0xFF0000 && visual->green_mask == 0xFF00 && visual->blue_mask == 0xFF &&
                    (setup->image_byte_order == XCB_IMAGE_ORDER_LSB_FIRST) == hostLsb &&
                    Has32BitPixmapsOfDepth24(setup);
    std::free(attributes);
    std::free(geometry);
    return ok;
}

// The event number of a put's completion, or 0 without the extension.
int CompletionEvent(xcb_connection_t* connection)
{
    const xcb_query_extension_reply_t* const extension = xcb_get_extension_data(connection, &xcb_shm_id);
    if (extension == nullptr || !extension->present) return 0;
    xcb_shm_query_version_reply_t* const version =
        xcb_shm_query_version_reply(connection, xcb_shm_query_version(connection), nullptr);
    std::free(version);
    return version != nullptr ? extension->first_event + XCB_SHM_COMPLETION : 0;
}

}  // namespace

std::unique_ptr<CX11ShmPresenter> CX11ShmPresenter::Open(unsigned long window)
{
    auto connection = std::make_shared<Connection>();
    connection->connection = xcb_connect(nullptr, nullptr);
    xcb_connection_t* const c = connection->connection;
    if (xcb_connection_has_error(c) != 0) return nullptr;
    const int completion = CompletionEvent(c);
    if (completion == 0 || !SurfaceLayout(c, uint32_t(window))) return nullptr;
    connection->gc = xcb_generate_id(c);
    xcb_create_gc(c, connection->gc, uint32_t(window), 0, nullptr);
    auto presenter =
        std::unique_ptr<CX11ShmPresenter>(new CX11ShmPresenter(std::move(connection), window, completion));
    presenter->m_pScaler = CX11RenderScaler::Open(c, uint32_t(window));
    return presenter;
}

CX11ShmPresenter::CX11ShmPresenter(std::shared_ptr<Connection> connection, unsigned long window,
                                   int completionEvent)
    : m_connection(std::move(connection)), m_window(window), m_nCompletionEvent(completionEvent)
{
}

CX11ShmPresenter::~CX11ShmPresenter() = default;

std::shared_ptr<uint32_t> CX11ShmPresenter::AllocatePixels(int32_t width, int32_t height)
{
    if (width < 1 || height < 1 || width > 16384 || height > 16384) return nullptr;
    xcb_connection_t* const c = m_connection->connection;
    auto segment = std::make_shared<Segment>();
    segment->connection = m_connection;
    segment->width = width;
    segment->height = height;
    const int shmid = shmget(IPC_PRIVATE, size_t(width) * size_t(height) * 4, IPC_CREAT | 0600);
    if (shmid < 0) return nullptr;
    void* const address = shmat(shmid, nullptr, 0);
    // Marked for removal at once: it goes with the last detach, even if we are killed.
    shmctl(shmid, IPC_RMID, nullptr);
    if (address == reinterpret_cast<void*>(-1)) return nullptr;
    segment->address = static_cast<uint8_t*>(address);
    // A server elsewhere cannot map our memory; it says so with an error, not a result.
    // Writable for the server: a pixmap over it (RENDER magnifies from one) needs that.
    const xcb_shm_seg_t seg = xcb_generate_id(c);
    xcb_generic_error_t* const error = xcb_request_check(c, xcb_shm_attach_checked(c, seg, uint32_t(shmid), 0));
    if (error != nullptr || xcb_connection_has_error(c) != 0) {
        std::free(error);
        return nullptr;
    }
    segment->seg = seg;
    m_segments.push_back(segment);
    return std::shared_ptr<uint32_t>(segment, reinterpret_cast<uint32_t*>(segment->address));
}

bool CX11ShmPresenter::Show(const CSurface& src, const RECT& srcRect, int32_t x, int32_t y,
                            const std::vector<RECT>* changed)
{
    xcb_connection_t* const c = m_connection->connection;
    if (xcb_connection_has_error(c) != 0) return false;
    if (changed != nullptr && changed->empty()) return true;
    const std::shared_ptr<Segment> segment = SegmentOf(src);
    if (segment == nullptr) return false;
    const int32_t left = std::clamp(srcRect.left, 0, src.Width()), top = std::clamp(srcRect.top, 0, src.Height());
    const int32_t right = std::clamp(srcRect.right, left, src.Width());
    const int32_t bottom = std::clamp(srcRect.bottom, top, src.Height());
    WaitUntilShown();
    ClipTo(changed, x - left, y - top);
    // The server says when it has copied the frame out.
    xcb_shm_put_image(c, uint32_t(m_window), m_connection->gc, uint16_t(segment->width), uint16_t(segment->height),
                      uint16_t(left), uint16_t(top), uint16_t(right - left), uint16_t(bottom - top), int16_t(x),
                      int16_t(y), 24, XCB_IMAGE_FORMAT_Z_PIXMAP, 1, segment->seg, 0);
    xcb_flush(c);
    m_bInFlight = true;
    return true;
}

bool CX11ShmPresenter::ShowMagnified(const CSurface& src, const RECT& part, int32_t scale, int32_t x, int32_t y,
                                     const std::vector<RECT>* changed)
{
    xcb_connection_t* const c = m_connection->connection;
    if (m_pScaler == nullptr || xcb_connection_has_error(c) != 0) return false;
    if (changed != nullptr && changed->empty()) return true;
    const std::shared_ptr<Segment> segment = SegmentOf(src);
    if (segment == nullptr) return false;
    WaitUntilShown();
    if (segment->picture == 0) {
        segment->pixmap = xcb_generate_id(c);
        xcb_shm_create_pixmap(c, segment->pixmap, uint32_t(m_window), uint16_t(segment->width),
                              uint16_t(segment->height), 24, segment->seg, 0);
        segment->picture = m_pScaler->MakeSource(segment->pixmap);
    }
    std::vector<RECT> magnified;
    if (changed != nullptr) {
        magnified.reserve(changed->size());
        for (const RECT& rect : *changed) {
            magnified.push_back({x + (rect.left - part.left) * scale, y + (rect.top - part.top) * scale,
                                 x + (rect.right - part.left) * scale, y + (rect.bottom - part.top) * scale});
        }
    }
    m_pScaler->Show(segment->picture, part, scale, x, y, changed != nullptr ? &magnified : nullptr);
    // RENDER says nothing when it is done; the answer to a request sent after it does.
    m_nComposedSequence = xcb_get_input_focus(c).sequence;
    m_bComposing = true;
    xcb_flush(c);
    return true;
}

std::shared_ptr<CX11ShmPresenter::Segment> CX11ShmPresenter::SegmentOf(const CSurface& src)
{
    std::shared_ptr<Segment> segment = Find(src.Pixels(), src.Width(), src.Height());
    return segment != nullptr ? segment : Staging(src);
}

// One put clipped to the changed rectangles costs the server only their pixels, where a
// put per rectangle would cost a request each.
void CX11ShmPresenter::ClipTo(const std::vector<RECT>* changed, int32_t x, int32_t y)
{
    xcb_connection_t* const c = m_connection->connection;
    if (changed == nullptr) {
        if (!m_bClipped) return;
        const uint32_t none = XCB_NONE;
        xcb_change_gc(c, m_connection->gc, XCB_GC_CLIP_MASK, &none);
        m_bClipped = false;
        return;
    }
    std::vector<xcb_rectangle_t> rects;
    rects.reserve(changed->size());
    for (const RECT& rect : *changed) {
        rects.push_back({int16_t(rect.left), int16_t(rect.top), uint16_t(rect.Width()), uint16_t(rect.Height())});
    }
    xcb_set_clip_rectangles(c, XCB_CLIP_ORDERING_UNSORTED, m_connection->gc, int16_t(x), int16_t(y),
                            uint32_t(rects.size()), rects.data());
    m_bClipped = true;
}

bool CX11ShmPresenter::TakeCompletion()
{
    xcb_connection_t* const c = m_connection->connection;
    bool found = false;
    // One read of the socket; whatever else came with it is already queued.
    for (xcb_generic_event_t* event = xcb_poll_for_event(c); event != nullptr;
         event = xcb_poll_for_queued_event(c)) {
        found |= (event->response_type & 0x7F) == m_nCompletionEvent;
        std::free(event);
    }
    return found;
}

void CX11ShmPresenter::WaitUntilShown()
{
    if (m_bComposing) {
        m_bComposing = false;
        std::free(xcb_get_input_focus_reply(m_connection->connection, {m_nComposedSequence}, nullptr));
        TakeCompletion();  // nothing comes but errors, which would pile up
    }
    if (!m_bInFlight) return;
    m_bInFlight = false;
    xcb_connection_t* const c = m_connection->connection;
    // A put that failed (its window gone) never completes: after a round trip, whatever
    // was coming has come.
    if (TakeCompletion() || xcb_connection_has_error(c) != 0) return;
    std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
    TakeCompletion();
}

std::shared_ptr<CX11ShmPresenter::Segment> CX11ShmPresenter::Find(const uint32_t* pixels, int32_t width,
                                                                  int32_t height)
{
    std::erase_if(m_segments, [](const auto& segment) { return segment.expired(); });
    for (const auto& weak : m_segments) {
        std::shared_ptr<Segment> segment = weak.lock();
        if (segment && reinterpret_cast<const uint32_t*>(segment->address) == pixels && segment->width == width &&
            segment->height == height)
            return segment;
    }
    return nullptr;
}

std::shared_ptr<CX11ShmPresenter::Segment> CX11ShmPresenter::Staging(const CSurface& src)
{
    if (!m_staging || m_staging->width != src.Width() || m_staging->height != src.Height()) {
        m_staging.reset();
        const std::shared_ptr<uint32_t> pixels = AllocatePixels(src.Width(), src.Height());
        if (!pixels) return nullptr;
        m_staging = Find(pixels.get(), src.Width(), src.Height());
    }
    std::memcpy(m_staging->address, src.Pixels(), size_t(src.Width()) * size_t(src.Height()) * 4);
    return m_staging;
}
