#pragma once
// Keyboard and joystick, read as immediate state once per tick and turned into the
// input bit word g_dwInput. The raw keyboard state stays in g_keyState for the title.
// A joystick in the gamepad layout also steers with its D-pad and reports Start.
//
// Call order: Init once (window thread), Acquire on focus/activation (window thread),
// PollKeyboard then PollJoystick at the start of every tick (timer thread),
// ReleaseDevices before deletion (window thread).
//
// Ownership: the input system comes from the PlatformInstance and outlives this object;
// the devices belong to the system, this object only uses and releases them.
// Without an input system there is nothing to read: Init reports false without a message,
// and the polls leave g_dwInput and g_keyState alone.
#include <atomic>
#include <cstdint>
#include <mutex>

#include "platform/DikCodes.h"
#include "platform/HResult.h"
#include "platform/InputSystem.h"

class IWindow;
struct PlatformInstance;

inline constexpr uint32_t INPUT_LEFT = 0x00000001;
inline constexpr uint32_t INPUT_RIGHT = 0x00000010;
inline constexpr uint32_t INPUT_UP = 0x00000100;
inline constexpr uint32_t INPUT_DOWN = 0x00001000;
inline constexpr uint32_t INPUT_FIRE = 0x10000000;
inline constexpr uint32_t INPUT_START = 0x00010000;  // a gamepad's Start: as space on the title

// Joystick axes read -1000..1000; half the range around the centre reads as centred.
inline constexpr int32_t JOYSTICK_RANGE = 1000;
inline constexpr uint32_t JOYSTICK_DEAD_ZONE = 5000;

extern uint32_t g_dwInput;      // timer thread only
extern uint8_t g_keyState[256]; // bit 7 of byte k: key k is down; timer thread only

class CInput {
public:
    CInput() = default;
    virtual ~CInput() = default;
    CInput(const CInput&) = delete;
    CInput& operator=(const CInput&) = delete;

    // Creates the keyboard and sets up the first usable joystick. A failure with the
    // keyboard shows "DirectInput Init FAILED" and destroys hWnd, which ends the game.
    bool Init(IWindow* hWnd, const PlatformInstance* hInstance);
    // Also looks for a joystick again when there is none or the one in use was unplugged.
    void Acquire();
    void PollKeyboard();
    // A joystick plugged in or out since the last tick is picked up or dropped first.
    void PollJoystick();
    void ReleaseDevices();
    // Enumeration callback; ref is the CInput. Keeps the first joystick that opens.
    static int EnumJoystick(const DIDEVICEINSTANCE* instance, void* ref);

    IWindow* m_hWnd = nullptr;
    HRESULT m_hr = S_OK;  // window thread: the polls record nothing
    IInputSystem* m_pDI = nullptr;
    IKeyboardDevice* m_pKeyboard = nullptr;
    // Replaced under m_joystickLock on either thread while the other may read it; a device
    // stays a valid object after Release, so a read that raced a replacement only fails.
    std::atomic<IJoystickDevice*> m_pJoystick{nullptr};

private:
    bool Fail();
    bool SetUpJoystick(IJoystickDevice* joystick);
    void RefreshJoystick();
    void FindJoystick();
    void DropLostJoystick();
    void AcquireDevices();
    static void ReadGamepadButtons(const DIJOYSTATE& state);

    std::mutex m_joystickLock;
};
