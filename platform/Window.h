#pragma once
// What the game needs of its frame window. The real one is the Qt main frame in app/;
// tests use a recording fake.
#include <cstdint>

#include "platform/Rect.h"

class IPrimarySurface;

inline constexpr uint32_t WM_USER = 0x0400;

class IWindow {
public:
    virtual ~IWindow() = default;

    // Any thread. Asks for a repaint of the whole client area, without erasing it.
    virtual void InvalidateRect() = 0;
    // Timer thread. Runs the message's handler on the window thread and returns when it
    // has finished, or at once when the window has started to close, so a close can
    // never wait on a tick that waits on the window.
    virtual intptr_t SendMessage(uint32_t message) = 0;

    // Window thread only.
    virtual void MessageBox(const char* text, const char* caption) = 0;
    virtual void DestroyWindow() = 0;
    virtual RECT GetClientRectOnScreen() const = 0;
    // Whether the window is the active one, the only time the game may read the keyboard.
    virtual bool IsForeground() const = 0;
    virtual int32_t GetScreenBitsPerPixel() const = 0;
    virtual IPrimarySurface* GetPrimarySurface() = 0;
    // The screen's pixels per unit of the client area: 2 on a desktop scaled 2x, 1.5 on
    // one scaled by 150 %; the game draws at the screen's own resolution.
    virtual float GetPixelScale() const { return 1.0f; }
};
