#pragma once
// One joystick opened through SDL2, read with DirectInput's rules: each axis scaled into
// the range set on it, with a dead zone around the centre that reads exactly the centre.
// A pad that SDL's game-controller layer knows (its built-in mappings, or the player's
// SDL_GAMECONTROLLERCONFIG) is read through that layer, in the gamepad layout.
//
// Made by CSdlJoystickSubsystem::Open. Properties and (un)acquiring on the window thread,
// Poll and GetDeviceState on the timer thread; every SDL call is made under SdlLock().
#include <atomic>
#include <cstdint>

#include "platform/InputSystem.h"

struct _SDL_Joystick;
struct _SDL_GameController;
struct SdlApi;

class CSdlJoystick final : public IJoystickDevice {
public:
    // Takes over an opened joystick.
    CSdlJoystick(const SdlApi& sdl, _SDL_Joystick* joystick);
    // Takes over an opened game controller.
    CSdlJoystick(const SdlApi& sdl, _SDL_GameController* pad);
    ~CSdlJoystick() override;
    CSdlJoystick(const CSdlJoystick&) = delete;
    CSdlJoystick& operator=(const CSdlJoystick&) = delete;

    HRESULT SetCooperativeLevel(IWindow* window, uint32_t flags) override;
    HRESULT SetRange(uint32_t axisOffset, int32_t min, int32_t max) override;
    HRESULT SetDeadZone(uint32_t axisOffset, uint32_t deadZone) override;
    HRESULT Acquire() override;
    HRESULT Unacquire() override;
    void Release() override;
    HRESULT Poll() override;
    HRESULT GetDeviceState(uint32_t size, void* data) override;
    bool IsGamepad() const override { return m_pPad != nullptr; }

    // raw: SDL's -32768..32767. deadZone in ten-thousandths of the range; past it the
    // reading ramps from next to the centre out to min and max, as DirectInput scales it.
    static int32_t ScaleAxis(int32_t raw, int32_t min, int32_t max, uint32_t deadZone);

private:
    struct Axis {
        int32_t min = 0;
        int32_t max = 65535;  // DirectInput's range until one is set
        uint32_t deadZone = 0;
    };
    static constexpr int kAxes = 6;  // lX..lRz

    void ReadState(DIJOYSTATE* state);
    void ReadRaw(int32_t* axes, uint8_t* buttons);
    void ReadPad(int32_t* axes, uint8_t* buttons);

    const SdlApi& m_sdl;
    _SDL_Joystick* m_pJoystick;  // null once released; guarded by SdlLock()
    _SDL_GameController* m_pPad = nullptr;  // owns m_pJoystick when set; never changes
    Axis m_axes[kAxes];          // window thread, before the joystick is acquired
    std::atomic<bool> m_bAcquired{false};
};
