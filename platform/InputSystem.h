#pragma once
// The input devices the game reads once per tick: a keyboard and, when one is attached, a
// joystick, each read as immediate state. The names and codes are DirectInput's, so the
// game's input logic reads the same on any platform.
//
// Ownership: the input system owns every device it creates; a device stays a valid object
// until the system is destroyed, even after Release. Release ends the caller's use: the
// device lets go of what it holds and every later call on it fails.
// The application owns the input system and keeps it alive until the game has shut down.
//
// Threads: a system and its keyboard are created, acquired and released on the window
// thread; joysticks there too, and also on the timer thread when one is plugged in or out
// during play (each system serialises its own bookkeeping); Poll and GetDeviceState run on
// the timer thread. Every implementation keeps these two apart itself, so a read racing an
// Unacquire or Release only fails.
#include <cstdint>

#include "platform/HResult.h"

class IWindow;

// Result codes with DirectInput's values, so a logged code means the same everywhere.
inline constexpr HRESULT DI_OK = 0;
inline constexpr HRESULT DI_NOEFFECT = 1;  // Acquire of an acquired device, Poll of a joystick
inline constexpr HRESULT DIERR_NOTACQUIRED = static_cast<HRESULT>(0x8007000Cu);
inline constexpr HRESULT DIERR_INPUTLOST = static_cast<HRESULT>(0x8007001Eu);  // unplugged
inline constexpr HRESULT DIERR_DEVICENOTREG = static_cast<HRESULT>(0x80040154u);
// Acquire of a foreground device while its window is not the active one.
inline constexpr HRESULT DIERR_OTHERAPPHASPRIO = static_cast<HRESULT>(0x80070005u);

// Cooperative level: the game reads only while its window is in the foreground.
inline constexpr uint32_t DISCL_NONEXCLUSIVE = 0x2;
inline constexpr uint32_t DISCL_FOREGROUND = 0x4;

// Enumeration callback results.
inline constexpr int DIENUM_STOP = 0;
inline constexpr int DIENUM_CONTINUE = 1;

// Axis offsets within DIJOYSTATE, naming the axis a property applies to.
inline constexpr uint32_t DIJOFS_X = 0;
inline constexpr uint32_t DIJOFS_Y = 4;
inline constexpr uint32_t DIJOFS_Z = 8;

// Dead zone and saturation are in ten-thousandths of the axis range.
inline constexpr uint32_t DI_DEADZONE_MAX = 10000;

inline constexpr uint32_t DI_KEYBOARD_STATE_SIZE = 256;

// A joystick's immediate state: axes in the range set on them, buttons down when bit 7 is set.
struct DIJOYSTATE {
    int32_t lX = 0, lY = 0, lZ = 0;
    int32_t lRx = 0, lRy = 0, lRz = 0;
    int32_t rglSlider[2] = {};
    uint32_t rgdwPOV[4] = {0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu};  // centred
    uint8_t rgbButtons[32] = {};
};
static_assert(sizeof(DIJOYSTATE) == 80);

// A gamepad reports the same state in one layout whatever its make: its left stick as lX
// and lY, its buttons at these indices of rgbButtons (a south button fires like button 0).
inline constexpr int GAMEPAD_SOUTH = 0;
inline constexpr int GAMEPAD_START = 6;
inline constexpr int GAMEPAD_DPAD_UP = 11;
inline constexpr int GAMEPAD_DPAD_DOWN = 12;
inline constexpr int GAMEPAD_DPAD_LEFT = 13;
inline constexpr int GAMEPAD_DPAD_RIGHT = 14;

// An attached joystick as enumeration reports it. The instance id names the physical device
// for as long as it stays plugged in; a replugged device gets a new one.
struct DIDEVICEINSTANCE {
    int32_t guidInstance = 0;
    char tszProductName[64] = {};
};

class IInputDevice {
public:
    virtual ~IInputDevice() = default;

    // flags: DISCL_NONEXCLUSIVE with DISCL_FOREGROUND, the only mode the game uses. The
    // window must outlive the device's use.
    virtual HRESULT SetCooperativeLevel(IWindow* window, uint32_t flags) = 0;
    // DI_OK, or DI_NOEFFECT when already acquired; fails when the device is gone, and a
    // keyboard with DIERR_OTHERAPPHASPRIO while its window is not the foreground one.
    virtual HRESULT Acquire() = 0;
    virtual HRESULT Unacquire() = 0;
    virtual void Release() = 0;
};

class IKeyboardDevice : public IInputDevice {
public:
    // size must be DI_KEYBOARD_STATE_SIZE; fills one byte per DIK_* code, 0x80 when down.
    // Fails with DIERR_NOTACQUIRED, leaving data untouched, while unacquired.
    virtual HRESULT GetDeviceState(uint32_t size, void* data) = 0;
};

class IJoystickDevice : public IInputDevice {
public:
    // axisOffset: a DIJOFS_* value. min < max; set before Acquire.
    virtual HRESULT SetRange(uint32_t axisOffset, int32_t min, int32_t max) = 0;
    // deadZone: 0..DI_DEADZONE_MAX; readings within this share of the range around the
    // centre read exactly the centre.
    virtual HRESULT SetDeadZone(uint32_t axisOffset, uint32_t deadZone) = 0;
    // Reads the hardware into the state that GetDeviceState then returns.
    virtual HRESULT Poll() = 0;
    // size must be sizeof(DIJOYSTATE). Fails, leaving data untouched, while unacquired or
    // after the device was unplugged (DIERR_INPUTLOST).
    virtual HRESULT GetDeviceState(uint32_t size, void* data) = 0;
    // True when the state comes in the gamepad layout; a plain joystick's buttons are
    // numbered however its maker chose.
    virtual bool IsGamepad() const { return false; }
};

// Returns DIENUM_CONTINUE for the next joystick or DIENUM_STOP.
using LPDIENUMDEVICESCALLBACK = int (*)(const DIDEVICEINSTANCE* instance, void* ref);

class IInputSystem {
public:
    virtual ~IInputSystem() = default;

    virtual HRESULT CreateKeyboard(IKeyboardDevice** keyboard) = 0;
    // Calls back once per attached joystick until the callback returns DIENUM_STOP.
    virtual HRESULT EnumJoysticks(LPDIENUMDEVICESCALLBACK callback, void* ref) = 0;
    virtual HRESULT CreateJoystick(const DIDEVICEINSTANCE& instance, IJoystickDevice** joystick) = 0;
    // Timer thread, once per tick: whether a joystick was plugged in or out since the last
    // call, so the game can pick it up or drop it at once.
    virtual bool DevicesChanged() { return false; }
    // Window thread: the game's window lost the foreground. Every foreground device is
    // unacquired, as the window system would take it away, until it is acquired again.
    virtual void OnForegroundLost() = 0;
};
