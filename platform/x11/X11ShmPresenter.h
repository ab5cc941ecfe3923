#pragma once
// Frames shown through the X server's shared-memory extension (MIT-SHM): the back buffer
// lives in a segment the server maps too, and a present is one request, with no pixel
// sent down the socket and no copy into a toolkit's backing store.
//
// It talks on an X connection of its own, so it never shares one with the toolkit's
// event thread; a lost server only turns its presents into failures. Window thread only.
#include <memory>
#include <vector>

#include "platform/FramePresenter.h"

class CX11RenderScaler;

class CX11ShmPresenter final : public IFramePresenter {
public:
    // Null when there is no X server, no MIT-SHM, or the window's pixels are not 32-bit
    // 0x00RRGGBB in the host's byte order: the caller keeps the ordinary path.
    static std::unique_ptr<CX11ShmPresenter> Open(unsigned long window);
    ~CX11ShmPresenter() override;
    CX11ShmPresenter(const CX11ShmPresenter&) = delete;
    CX11ShmPresenter& operator=(const CX11ShmPresenter&) = delete;

    std::shared_ptr<uint32_t> AllocatePixels(int32_t width, int32_t height) override;
    bool Show(const CSurface& src, const RECT& srcRect, int32_t x, int32_t y,
              const std::vector<RECT>* changed) override;
    bool ShowMagnified(const CSurface& src, const RECT& part, int32_t scale, int32_t x, int32_t y,
                       const std::vector<RECT>* changed) override;
    void WaitUntilShown() override;

    struct Connection;
    struct Segment;

private:
    CX11ShmPresenter(std::shared_ptr<Connection> connection, unsigned long window, int completionEvent);
    // Drains the connection's events; true when a put's completion was among them.
    bool TakeCompletion();
    std::shared_ptr<Segment> Find(const uint32_t* pixels, int32_t width, int32_t height);
    std::shared_ptr<Segment> Staging(const CSurface& src);
    // The segment src's pixels are in, or a staging copy of them; null when neither.
    std::shared_ptr<Segment> SegmentOf(const CSurface& src);
    // Limits the next puts to changed (src's rectangles, src's origin at (x, y)); null: none.
    void ClipTo(const std::vector<RECT>* changed, int32_t x, int32_t y);

    std::shared_ptr<Connection> m_connection;
    unsigned long m_window;
    std::vector<std::weak_ptr<Segment>> m_segments;
    std::shared_ptr<Segment> m_staging;  // for frames drawn in memory of their own
    std::unique_ptr<CX11RenderScaler> m_pScaler;  // null: the server cannot magnify
    int m_nCompletionEvent = 0;
    bool m_bInFlight = false;  // a put whose completion has not arrived yet
    bool m_bComposing = false;  // a magnified frame the server may still be reading
    unsigned int m_nComposedSequence = 0;  // of the round trip that says it has read it
    bool m_bClipped = false;   // the context's clip is a list of rectangles
};
