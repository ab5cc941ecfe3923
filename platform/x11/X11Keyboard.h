#pragma once
// The keyboard read from the X server's key map: which keys are physically down at the
// moment of the read. Key auto-repeat never shows here as a release, as it does in the
// server's key events.
//
// It asks on a connection of its own, so it never shares one with the window system's
// thread. Losing the server only makes every read fail (DIERR_INPUTLOST); it never ends the
// process. The map is global to the desktop: it can be acquired only while the game's
// window is the foreground one, the input system unacquires it when the window loses the
// foreground, and it reads nothing until acquired again.
// Threads: Open, Acquire, Unacquire and Release on the window thread, GetDeviceState on
// the timer thread.
#include <atomic>
#include <memory>
#include <mutex>

#include "platform/InputSystem.h"

struct xcb_connection_t;

class CX11Keyboard final : public IKeyboardDevice {
public:
    // Null when no X server can be reached.
    static std::unique_ptr<CX11Keyboard> Open();
    explicit CX11Keyboard(xcb_connection_t* connection);  // takes it over
    ~CX11Keyboard() override;
    CX11Keyboard(const CX11Keyboard&) = delete;
    CX11Keyboard& operator=(const CX11Keyboard&) = delete;

    HRESULT SetCooperativeLevel(IWindow* window, uint32_t flags) override;
    HRESULT Acquire() override;
    HRESULT Unacquire() override;
    void Release() override;
    HRESULT GetDeviceState(uint32_t size, void* data) override;

private:
    std::mutex m_lock;        // the connection is used by one thread at a time
    xcb_connection_t* m_pDisplay;  // the connection to the display; null once released
    IWindow* m_pWindow = nullptr;  // from SetCooperativeLevel; window thread only
    std::atomic<bool> m_bAcquired{false};
};
