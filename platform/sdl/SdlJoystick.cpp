#include "platform/sdl/SdlJoystick.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <mutex>

#include "platform/sdl/SdlJoystickSubsystem.h"
#include "platform/sdl/SdlLibrary.h"

namespace {

constexpr uint8_t kButtonDown = 0x80;
constexpr int kButtons = 32;

static_assert(GAMEPAD_SOUTH == SDL_CONTROLLER_BUTTON_A && GAMEPAD_START == SDL_CONTROLLER_BUTTON_START &&
              GAMEPAD_DPAD_UP == SDL_CONTROLLER_BUTTON_DPAD_UP &&
              GAMEPAD_DPAD_DOWN == SDL_CONTROLLER_BUTTON_DPAD_DOWN &&
              GAMEPAD_DPAD_LEFT == SDL_CONTROLLER_BUTTON_DPAD_LEFT &&
              GAMEPAD_DPAD_RIGHT == SDL_CONTROLLER_BUTTON_DPAD_RIGHT,
              "the gamepad layout is SDL's button order");
static_assert(SDL_CONTROLLER_BUTTON_MAX <= kButtons);

// The axis a DIJOFS_* offset names, or -1.
int AxisIndex(uint32_t offset)
{
    return offset % 4 == 0 && offset / 4 < 6 ? static_cast<int>(offset / 4) : -1;
}

}  // namespace

CSdlJoystick::CSdlJoystick(const SdlApi& sdl, _SDL_Joystick* joystick)
    : m_sdl(sdl), m_pJoystick(joystick)
{
}

CSdlJoystick::CSdlJoystick(const SdlApi& sdl, _SDL_GameController* pad)
    : m_sdl(sdl), m_pJoystick(sdl.GameControllerGetJoystick(pad)), m_pPad(pad)
{
}

CSdlJoystick::~CSdlJoystick()
{
    Release();
}

HRESULT CSdlJoystick::SetCooperativeLevel(IWindow*, uint32_t)
{
    // Foreground-only reading is kept by the input system, which unacquires the device
    // when the window loses the foreground.
    return DI_OK;
}

HRESULT CSdlJoystick::SetRange(uint32_t axisOffset, int32_t min, int32_t max)
{
    const int axis = AxisIndex(axisOffset);
    if (axis < 0 || min >= max) return E_INVALIDARG;
    m_axes[axis].min = min;
    m_axes[axis].max = max;
    return DI_OK;
}

HRESULT CSdlJoystick::SetDeadZone(uint32_t axisOffset, uint32_t deadZone)
{
    const int axis = AxisIndex(axisOffset);
    if (axis < 0 || deadZone > DI_DEADZONE_MAX) return E_INVALIDARG;
    m_axes[axis].deadZone = deadZone;
    return DI_OK;
}

HRESULT CSdlJoystick::Acquire()
{
    std::lock_guard<std::mutex> lock(SdlLock());
    if (m_pJoystick == nullptr) return DIERR_DEVICENOTREG;
    if (!m_sdl.JoystickGetAttached(m_pJoystick)) return DIERR_INPUTLOST;
    return m_bAcquired.exchange(true) ? DI_NOEFFECT : DI_OK;
}

HRESULT CSdlJoystick::Unacquire()
{
    return m_bAcquired.exchange(false) ? DI_OK : DI_NOEFFECT;
}

void CSdlJoystick::Release()
{
    std::lock_guard<std::mutex> lock(SdlLock());
    m_bAcquired = false;
    if (m_pJoystick == nullptr) return;
    if (m_pPad != nullptr) {
        m_sdl.GameControllerClose(m_pPad);
    } else {
        m_sdl.JoystickClose(m_pJoystick);
    }
    m_pJoystick = nullptr;
}

HRESULT CSdlJoystick::Poll()
{
    std::lock_guard<std::mutex> lock(SdlLock());
    if (m_pJoystick == nullptr || !m_bAcquired) return DIERR_NOTACQUIRED;
    m_sdl.JoystickUpdate();
    if (m_sdl.JoystickGetAttached(m_pJoystick)) return DI_OK;
    m_bAcquired = false;
    return DIERR_INPUTLOST;
}

HRESULT CSdlJoystick::GetDeviceState(uint32_t size, void* data)
{
    if (size != sizeof(DIJOYSTATE) || data == nullptr) return E_INVALIDARG;
    std::lock_guard<std::mutex> lock(SdlLock());
    if (m_pJoystick == nullptr || !m_bAcquired) return DIERR_NOTACQUIRED;
    if (!m_sdl.JoystickGetAttached(m_pJoystick)) return DIERR_INPUTLOST;
    DIJOYSTATE state;
    ReadState(&state);
    std::memcpy(data, &state, sizeof state);
    return DI_OK;
}

void CSdlJoystick::ReadState(DIJOYSTATE* state)
{
    int32_t raw[kAxes] = {};
    uint8_t buttons[kButtons] = {};
    if (m_pPad != nullptr) {
        ReadPad(raw, buttons);
    } else {
        ReadRaw(raw, buttons);
    }
    int32_t* const axes[kAxes] = {&state->lX, &state->lY, &state->lZ,
                                  &state->lRx, &state->lRy, &state->lRz};
    for (int axis = 0; axis < kAxes; ++axis) {
        const Axis& range = m_axes[axis];
        *axes[axis] = ScaleAxis(raw[axis], range.min, range.max, range.deadZone);
    }
    std::memcpy(state->rgbButtons, buttons, sizeof buttons);
}

void CSdlJoystick::ReadRaw(int32_t* axes, uint8_t* buttons)
{
    const int axisCount = std::min(kAxes, m_sdl.JoystickNumAxes(m_pJoystick));
    for (int axis = 0; axis < axisCount; ++axis) axes[axis] = m_sdl.JoystickGetAxis(m_pJoystick, axis);
    const int buttonCount = std::min(kButtons, m_sdl.JoystickNumButtons(m_pJoystick));
    for (int button = 0; button < buttonCount; ++button) {
        buttons[button] = m_sdl.JoystickGetButton(m_pJoystick, button) ? kButtonDown : 0;
    }
}

void CSdlJoystick::ReadPad(int32_t* axes, uint8_t* buttons)
{
    // Only the left stick steers; the other sticks and the triggers stay centred.
    axes[0] = m_sdl.GameControllerGetAxis(m_pPad, SDL_CONTROLLER_AXIS_LEFTX);
    axes[1] = m_sdl.GameControllerGetAxis(m_pPad, SDL_CONTROLLER_AXIS_LEFTY);
    for (int button = 0; button < SDL_CONTROLLER_BUTTON_MAX; ++button) {
        const auto which = static_cast<SDL_GameControllerButton>(button);
        buttons[button] = m_sdl.GameControllerGetButton(m_pPad, which) ? kButtonDown : 0;
    }
}

int32_t CSdlJoystick::ScaleAxis(int32_t raw, int32_t min, int32_t max, uint32_t deadZone)
{
    // SDL's range is one step longer below the centre than above it.
    const double deflection = raw < 0 ? raw / 32768.0 : raw / 32767.0;
    const double dead = std::min(deadZone, DI_DEADZONE_MAX) / double(DI_DEADZONE_MAX);
    const double magnitude = std::min(1.0, std::fabs(deflection));
    double live = 0.0;
    if (magnitude > dead) live = std::copysign((magnitude - dead) / (1.0 - dead), deflection);
    const double centre = (double(min) + double(max)) / 2.0;
    const double half = (double(max) - double(min)) / 2.0;
    const long middle = std::lround(centre);
    const long scaled = std::lround(centre + live * half);
    // Just past the dead zone the ramp rounds to the centre; it must still read as moved.
    if (live != 0.0 && scaled == middle) return static_cast<int32_t>(middle + (live > 0 ? 1 : -1));
    return static_cast<int32_t>(scaled);
}
