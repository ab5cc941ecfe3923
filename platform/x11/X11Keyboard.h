#pragma once
// The keyboard read from the X server's key map: which keys are physically down at the
// moment of the read. Key auto-repeat never shows here as a release, as it does in the
// server's key events.
//
// It asks on a connection of its own, so it never shares one with the window system's
// thread. Where the server sends raw key events (XInput 2.1 and later), the connection
// listens for them while acquired and asks for the map only on a tick after one came:
// asking costs the timer thread a round trip to the server every tick, a look at the
// socket costs it nothing. The map stays the one source of truth; an event only says
// that it may have changed. Losing the server only makes every read fail
// (DIERR_INPUTLOST); it never ends the process. The map is global to the desktop: it can
// be acquired only while the game's window is the foreground one, the input system
// unacquires it when the window loses the foreground, and it reads nothing until
// acquired again.
// Threads: Open, Acquire, Unacquire and Release on the window thread, GetDeviceState on
// the timer thread.
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>

#include "platform/InputSystem.h"

struct xcb_connection_t;

class CX11Keyboard final : public IKeyboardDevice {
public:
    // Null when no X server can be reached.
    static std::unique_ptr<CX11Keyboard> Open();
    // Takes the connection over. rawKeys: the server has raw key events, from XInput 2.1
    // on, and the connection has announced that version; otherwise every read asks.
    explicit CX11Keyboard(xcb_connection_t* connection, bool rawKeys = false);
    ~CX11Keyboard() override;
    CX11Keyboard(const CX11Keyboard&) = delete;
    CX11Keyboard& operator=(const CX11Keyboard&) = delete;

    HRESULT SetCooperativeLevel(IWindow* window, uint32_t flags) override;
    HRESULT Acquire() override;
    HRESULT Unacquire() override;
    void Release() override;
    HRESULT GetDeviceState(uint32_t size, void* data) override;

private:
    bool KeysMayHaveChanged();
    void ListenForKeys(bool listen);

    std::mutex m_lock;  // the connection and the map below, used by one thread at a time
    xcb_connection_t* m_pDisplay;  // the connection to the display; null once released
    IWindow* m_pWindow = nullptr;  // from SetCooperativeLevel; window thread only
    std::atomic<bool> m_bAcquired{false};
    bool m_bRawKeys;  // cleared if the server refuses to send them
    bool m_bMapKnown = false;   // m_keymap is the server's since the last acquire
    uint8_t m_keymap[32] = {};  // as the server last sent it
};
