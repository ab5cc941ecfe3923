#pragma once
// The game area magnified for full screen: each pixel a k x k block, k the largest whole
// number that fits the view, centred on black. The magnified picture is kept from frame
// to frame, and each Update rewrites only the blocks whose pixel changed and names them,
// so the display server is sent only those: on a 3840 x 2160 screen the whole picture
// is 19 MB, and a frame changes 3 to 6 % of its pixels. Where the display server
// magnifies itself, a view of the game area's own size (k = 1) keeps the frame last
// shown, to name what changed.
//
// Window thread only. Owns the view's surface, which may be memory a presenter shares.
#include <memory>
#include <vector>

#include "platform/Rect.h"
#include "render/FrameDamage.h"

class CSurface;

class CMagnifiedFrame {
public:
    // Where srcRect goes on a width x height view: what of it fits, the scale, the corner.
    struct Placement {
        RECT part;
        int32_t scale, x, y;
        bool operator==(const Placement&) const = default;
    };
    static Placement Place(int32_t width, int32_t height, const RECT& srcRect);

    explicit CMagnifiedFrame(std::unique_ptr<CSurface> view);
    ~CMagnifiedFrame();

    const CSurface& View() const { return *m_pView; }
    // Shows srcRect of frame (at least 1 x 1) magnified on the view; the rectangles of the
    // view that changed since the last Update, all of it the first time and after Forget.
    std::vector<RECT> Update(const CSurface& frame, const RECT& srcRect);
    // The screen no longer shows the view as it was (a window system's repaint).
    void Forget() { m_bWhole = true; }

private:
    // Rewrites the blocks of row y's pixels x0..x1-1 that differ from the frame's; each
    // run of them goes to changed, in frame coordinates.
    void CopyRow(const CSurface& frame, int32_t y, int32_t x0, int32_t x1, CDamageRects& changed);
    void CopyRun(const uint32_t* in, uint32_t* out, int32_t count) const;

    std::unique_ptr<CSurface> m_pView;
    CFrameDamage m_damage;
    Placement m_placement{};
    uint32_t* m_pPixels = nullptr;
    bool m_bWhole = true;
};
