#pragma once
// The busiest frame the game draws, on a real display and software device: the track,
// the ship, 21 enemies along the tube, 4 player shots, 5 enemy shots, 8 explosions and
// the HUD. For the paint benchmark and the scene-rendering tool; it takes over the
// game's globals (display, device, camera, object table) for its lifetime.
#include "platform/DisplayDevices.h"
#include "platform/PrimarySurface.h"
#include "render/Display.h"
#include "tests/fakes/FakeWindow.h"
#include "tests/fakes/GameHarness.h"

class CBusyScene {
public:
    // devices.pTextPainter and pBitmapLoader may be null (no HUD, no title picture).
    explicit CBusyScene(DisplayDevices devices);
    ~CBusyScene();
    CBusyScene(const CBusyScene&) = delete;
    CBusyScene& operator=(const CBusyScene&) = delete;

    // What a play-state paint does: clear, draw every object, then the HUD texts.
    void Paint();
    // The clear alone, colour and depth, for comparison.
    void Clear();

    CDisplay& Display() { return m_display; }

private:
    struct NullPrimary final : IPrimarySurface {
        HRESULT Blt(const RECT&, const CSurface&, const RECT&) override { return S_OK; }
    };
    void Populate();

    CObjectWorld m_world;
    NullPrimary m_primary;
    CFakeWindow m_window;
    CDisplay m_display;
};
