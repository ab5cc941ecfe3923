#pragma once
// The keyboard followed through the window's key events, where the X server's key map
// cannot be read (Wayland, offscreen). Auto-repeated presses and releases are ignored, so
// a held key stays down as long as the window system reports it held.
//
// Threads: KeyEvent, Acquire, Unacquire and Release on the window thread; GetDeviceState on
// the timer thread. The key bytes are atomic, so a read never waits on the window thread.
#include <atomic>
#include <cstdint>

#include "platform/InputSystem.h"

class QKeyEvent;

class CQtKeyboard final : public IKeyboardDevice {
public:
    HRESULT SetCooperativeLevel(IWindow* window, uint32_t flags) override;
    // Starts from all keys up: keys released while the window was away sent it no event.
    HRESULT Acquire() override;
    HRESULT Unacquire() override;
    void Release() override;
    HRESULT GetDeviceState(uint32_t size, void* data) override;

    // A KeyPress or KeyRelease event the window received; other events are ignored.
    void KeyEvent(const QKeyEvent& event);

    // The key's DirectInput code: from its native scan code where that is an X keycode
    // (the X11 and Wayland platforms), else from its Qt key (left Ctrl/Shift/Alt stand
    // for either side). 0: not mapped.
    static uint8_t DikFromKeyEvent(const QKeyEvent& event);
    static uint8_t DikFromKeyEvent(const QKeyEvent& event, bool scanCodesAreXKeycodes);
    static uint8_t DikFromQtKey(int key, bool keypad);

private:
    void ClearKeys();

    std::atomic<uint8_t> m_keys[DI_KEYBOARD_STATE_SIZE] = {};
    std::atomic<bool> m_bAcquired{false};
    std::atomic<bool> m_bReleased{false};
    IWindow* m_pWindow = nullptr;  // from SetCooperativeLevel; window thread only
};
