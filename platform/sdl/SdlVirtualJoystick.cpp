#include "platform/sdl/SdlVirtualJoystick.h"

#include <SDL.h>

#include <mutex>

#include "platform/sdl/SdlJoystickSubsystem.h"

CSdlVirtualJoystick::CSdlVirtualJoystick(int axes, int buttons, Kind kind)
{
    std::lock_guard<std::mutex> lock(SdlLock());
    m_bStarted = StartSdlJoysticks();
    if (!m_bStarted) return;
    const SDL_JoystickType type =
        kind == Kind::Gamepad ? SDL_JOYSTICK_TYPE_GAMECONTROLLER : SDL_JOYSTICK_TYPE_UNKNOWN;
    const int index = SDL_JoystickAttachVirtual(type, axes, buttons, 0);
    if (index < 0) return;
    m_pHandle = SDL_JoystickOpen(index);
    if (m_pHandle != nullptr) m_instanceId = SDL_JoystickInstanceID(m_pHandle);
}

CSdlVirtualJoystick::~CSdlVirtualJoystick()
{
    Unplug();
    std::lock_guard<std::mutex> lock(SdlLock());
    if (m_bStarted) StopSdlJoysticks();
}

void CSdlVirtualJoystick::SetAxis(int axis, int16_t value)
{
    std::lock_guard<std::mutex> lock(SdlLock());
    if (m_pHandle != nullptr) SDL_JoystickSetVirtualAxis(m_pHandle, axis, value);
}

void CSdlVirtualJoystick::SetButton(int button, bool down)
{
    std::lock_guard<std::mutex> lock(SdlLock());
    if (m_pHandle != nullptr) SDL_JoystickSetVirtualButton(m_pHandle, button, down ? 1 : 0);
}

void CSdlVirtualJoystick::Unplug()
{
    std::lock_guard<std::mutex> lock(SdlLock());
    if (m_pHandle == nullptr) return;
    // Detaching goes by device index, which shifts as devices come and go.
    for (int index = 0; index < SDL_NumJoysticks(); ++index) {
        if (SDL_JoystickGetDeviceInstanceID(index) == m_instanceId) {
            SDL_JoystickDetachVirtual(index);
            break;
        }
    }
    SDL_JoystickClose(m_pHandle);
    m_pHandle = nullptr;
}
