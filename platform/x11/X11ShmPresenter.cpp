#include "platform/x11/X11ShmPresenter.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <algorithm>
#include <cstring>
#include <sys/ipc.h>
#include <sys/shm.h>

#include "platform/Surface.h"

struct CX11ShmPresenter::Connection {
    Display* display = nullptr;
    Visual* visual = nullptr;
    GC gc = nullptr;
    ~Connection()
    {
        if (gc != nullptr) XFreeGC(display, gc);
        XCloseDisplay(display);
    }
};

// One shared segment and the server's view of it; it goes when its last holder lets go.
struct CX11ShmPresenter::Segment {
    std::shared_ptr<Connection> connection;
    XShmSegmentInfo info{};
    XImage* image = nullptr;
    bool attached = false;
    ~Segment()
    {
        if (attached) {
            XShmDetach(connection->display, &info);
            XSync(connection->display, False);
        }
        if (image != nullptr) {
            image->data = nullptr;  // the segment's, not the image's
            XDestroyImage(image);
        }
        if (info.shmaddr != nullptr) shmdt(info.shmaddr);
    }
};

namespace {

bool g_bAttachFailed = false;

int NoteAttachError(Display*, XErrorEvent*)
{
    g_bAttachFailed = true;
    return 0;
}

// The server's pixels must be what a surface holds: 32 bits, 0x00RRGGBB, host order.
bool SurfaceLayout(Display* display, const XWindowAttributes& window)
{
    if (window.depth != 24 || window.visual->red_mask != 0xFF0000 || window.visual->green_mask != 0xFF00 ||
        window.visual->blue_mask != 0xFF)
        return false;
    const uint16_t probe = 1;
    const bool hostLsb = *reinterpret_cast<const uint8_t*>(&probe) == 1;
    if ((ImageByteOrder(display) == LSBFirst) != hostLsb) return false;
    int count = 0;
    XPixmapFormatValues* const formats = XListPixmapFormats(display, &count);
    bool bits32 = false;
    for (int i = 0; i < count; ++i) bits32 |= formats[i].depth == 24 && formats[i].bits_per_pixel == 32;
    XFree(formats);
    return bits32;
}

}  // namespace

std::unique_ptr<CX11ShmPresenter> CX11ShmPresenter::Open(unsigned long window)
{
    Display* const display = XOpenDisplay(nullptr);
    if (display == nullptr) return nullptr;
    auto connection = std::make_shared<Connection>();
    connection->display = display;
    XWindowAttributes attributes;
    if (!XShmQueryExtension(display) || !XGetWindowAttributes(display, window, &attributes) ||
        !SurfaceLayout(display, attributes))
        return nullptr;
    connection->visual = attributes.visual;
    connection->gc = XCreateGC(display, window, 0, nullptr);
    return std::unique_ptr<CX11ShmPresenter>(new CX11ShmPresenter(std::move(connection), window));
}

CX11ShmPresenter::CX11ShmPresenter(std::shared_ptr<Connection> connection, unsigned long window)
    : m_connection(std::move(connection)), m_window(window),
      m_nCompletionEvent(XShmGetEventBase(m_connection->display) + ShmCompletion)
{
}

CX11ShmPresenter::~CX11ShmPresenter() = default;

std::shared_ptr<uint32_t> CX11ShmPresenter::AllocatePixels(int32_t width, int32_t height)
{
    if (width < 1 || height < 1 || width > 16384 || height > 16384) return nullptr;
    Display* const display = m_connection->display;
    auto segment = std::make_shared<Segment>();
    segment->connection = m_connection;
    const size_t bytes = size_t(width) * size_t(height) * 4;
    segment->info.shmid = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
    if (segment->info.shmid < 0) return nullptr;
    void* const address = shmat(segment->info.shmid, nullptr, 0);
    // Marked for removal at once: it goes with the last detach, even if we are killed.
    shmctl(segment->info.shmid, IPC_RMID, nullptr);
    if (address == reinterpret_cast<void*>(-1)) return nullptr;
    segment->info.shmaddr = static_cast<char*>(address);
    segment->info.readOnly = True;
    segment->image = XShmCreateImage(display, m_connection->visual, 24, ZPixmap, segment->info.shmaddr,
                                     &segment->info, unsigned(width), unsigned(height));
    if (segment->image == nullptr || segment->image->bytes_per_line != width * 4) return nullptr;
    // A server elsewhere cannot map our memory; it says so with an error, not a result.
    XSync(display, False);
    g_bAttachFailed = false;
    const auto previous = XSetErrorHandler(NoteAttachError);
    XShmAttach(display, &segment->info);
    XSync(display, False);
    XSetErrorHandler(previous);
    if (g_bAttachFailed) return nullptr;
    segment->attached = true;
    m_segments.push_back(segment);
    return std::shared_ptr<uint32_t>(segment, reinterpret_cast<uint32_t*>(segment->info.shmaddr));
}

bool CX11ShmPresenter::Show(const CSurface& src, const RECT& srcRect, int32_t x, int32_t y)
{
    std::shared_ptr<Segment> segment = Find(src.Pixels(), src.Width(), src.Height());
    if (segment == nullptr) segment = Staging(src);
    if (segment == nullptr) return false;
    const int32_t left = std::clamp(srcRect.left, 0, src.Width()), top = std::clamp(srcRect.top, 0, src.Height());
    const int32_t right = std::clamp(srcRect.right, left, src.Width());
    const int32_t bottom = std::clamp(srcRect.bottom, top, src.Height());
    Display* const display = m_connection->display;
    WaitUntilShown();
    // The server says when it has copied the frame out.
    XShmPutImage(display, m_window, m_connection->gc, segment->image, left, top, x, y, unsigned(right - left),
                 unsigned(bottom - top), True);
    XFlush(display);
    m_bInFlight = true;
    return true;
}

void CX11ShmPresenter::WaitUntilShown()
{
    if (!m_bInFlight) return;
    Display* const display = m_connection->display;
    XEvent event;
    // A put that failed (its window gone) never completes: after a round trip, whatever
    // was coming has come.
    if (!XCheckTypedEvent(display, m_nCompletionEvent, &event)) {
        XSync(display, False);
        XCheckTypedEvent(display, m_nCompletionEvent, &event);
    }
    m_bInFlight = false;
}

std::shared_ptr<CX11ShmPresenter::Segment> CX11ShmPresenter::Find(const uint32_t* pixels, int32_t width,
                                                                  int32_t height)
{
    std::erase_if(m_segments, [](const auto& segment) { return segment.expired(); });
    for (const auto& weak : m_segments) {
        std::shared_ptr<Segment> segment = weak.lock();
        if (segment && reinterpret_cast<const uint32_t*>(segment->info.shmaddr) == pixels &&
            segment->image->width == width && segment->image->height == height)
            return segment;
    }
    return nullptr;
}

std::shared_ptr<CX11ShmPresenter::Segment> CX11ShmPresenter::Staging(const CSurface& src)
{
    if (!m_staging || m_staging->image->width != src.Width() || m_staging->image->height != src.Height()) {
        m_staging.reset();
        const std::shared_ptr<uint32_t> pixels = AllocatePixels(src.Width(), src.Height());
        if (!pixels) return nullptr;
        m_staging = Find(pixels.get(), src.Width(), src.Height());
    }
    std::memcpy(m_staging->info.shmaddr, src.Pixels(), size_t(src.Width()) * size_t(src.Height()) * 4);
    return m_staging;
}
