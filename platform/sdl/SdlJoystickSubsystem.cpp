#include "platform/sdl/SdlJoystickSubsystem.h"

#include <SDL.h>

#include <cstdio>

#include "platform/sdl/SdlJoystick.h"

std::mutex& SdlLock()
{
    static std::mutex lock;
    return lock;
}

bool StartSdlJoysticks()
{
    // The game's own window system owns SIGINT and SIGTERM; SDL must not take them over.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_JOYSTICK) != 0) return false;
    // Nobody drains SDL's event queue; joystick state is read directly instead.
    SDL_JoystickEventState(SDL_IGNORE);
    return true;
}

CSdlJoystickSubsystem::CSdlJoystickSubsystem()
{
    std::lock_guard<std::mutex> lock(SdlLock());
    m_bReady = StartSdlJoysticks();
}

CSdlJoystickSubsystem::~CSdlJoystickSubsystem()
{
    std::lock_guard<std::mutex> lock(SdlLock());
    if (m_bReady) SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
}

std::vector<DIDEVICEINSTANCE> CSdlJoystickSubsystem::Attached()
{
    std::vector<DIDEVICEINSTANCE> attached;
    if (!m_bReady) return attached;
    std::lock_guard<std::mutex> lock(SdlLock());
    SDL_JoystickUpdate();  // looks for devices plugged in since the last update
    const int count = SDL_NumJoysticks();
    for (int index = 0; index < count; ++index) {
        DIDEVICEINSTANCE instance;
        instance.guidInstance = SDL_JoystickGetDeviceInstanceID(index);
        if (instance.guidInstance < 0) continue;
        const char* const name = SDL_JoystickNameForIndex(index);
        std::snprintf(instance.tszProductName, sizeof instance.tszProductName, "%s",
                      name != nullptr ? name : "joystick");
        attached.push_back(instance);
    }
    return attached;
}

std::unique_ptr<CSdlJoystick> CSdlJoystickSubsystem::Open(const DIDEVICEINSTANCE& instance)
{
    if (!m_bReady) return nullptr;
    std::lock_guard<std::mutex> lock(SdlLock());
    // Device indices shift as joysticks come and go; the instance id does not.
    const int count = SDL_NumJoysticks();
    for (int index = 0; index < count; ++index) {
        if (SDL_JoystickGetDeviceInstanceID(index) != instance.guidInstance) continue;
        SDL_Joystick* const joystick = SDL_JoystickOpen(index);
        if (joystick == nullptr) return nullptr;
        return std::make_unique<CSdlJoystick>(joystick);
    }
    return nullptr;
}
