#include "platform/sdl/SdlVirtualJoystick.h"

#include <SDL.h>

#include <mutex>

#include "platform/sdl/SdlJoystickSubsystem.h"
#include "platform/sdl/SdlLibrary.h"

CSdlVirtualJoystick::CSdlVirtualJoystick(int axes, int buttons, Kind kind)
{
    std::lock_guard<std::mutex> lock(SdlLock());
    m_pSdl = StartSdlJoysticks();
    if (m_pSdl == nullptr) return;
    const SDL_JoystickType type =
        kind == Kind::Gamepad ? SDL_JOYSTICK_TYPE_GAMECONTROLLER : SDL_JOYSTICK_TYPE_UNKNOWN;
    const int index = m_pSdl->JoystickAttachVirtual(type, axes, buttons, 0);
    if (index < 0) return;
    m_pHandle = m_pSdl->JoystickOpen(index);
    if (m_pHandle != nullptr) m_instanceId = m_pSdl->JoystickInstanceID(m_pHandle);
}

CSdlVirtualJoystick::~CSdlVirtualJoystick()
{
    Unplug();
    std::lock_guard<std::mutex> lock(SdlLock());
    if (m_pSdl != nullptr) StopSdlJoysticks(*m_pSdl);
}

void CSdlVirtualJoystick::SetAxis(int axis, int16_t value)
{
    std::lock_guard<std::mutex> lock(SdlLock());
    if (m_pHandle != nullptr) m_pSdl->JoystickSetVirtualAxis(m_pHandle, axis, value);
}

void CSdlVirtualJoystick::SetButton(int button, bool down)
{
    std::lock_guard<std::mutex> lock(SdlLock());
    if (m_pHandle != nullptr) m_pSdl->JoystickSetVirtualButton(m_pHandle, button, down ? 1 : 0);
}

void CSdlVirtualJoystick::Unplug()
{
    std::lock_guard<std::mutex> lock(SdlLock());
    if (m_pHandle == nullptr) return;
    // Detaching goes by device index, which shifts as devices come and go.
    for (int index = 0; index < m_pSdl->NumJoysticks(); ++index) {
        if (m_pSdl->JoystickGetDeviceInstanceID(index) == m_instanceId) {
            m_pSdl->JoystickDetachVirtual(index);
            break;
        }
    }
    m_pSdl->JoystickClose(m_pHandle);
    m_pHandle = nullptr;
}
