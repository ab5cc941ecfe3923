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
    // The game-controller layer brings the joystick layer with it, and reads the player's
    // SDL_GAMECONTROLLERCONFIG as it starts.
    if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) return false;
    // State is read directly each tick; only the device events are queued, for
    // DevicesChanged to drain, so nothing piles up in a queue nobody else reads.
    SDL_JoystickEventState(SDL_IGNORE);
    SDL_GameControllerEventState(SDL_IGNORE);
    SDL_EventState(SDL_JOYDEVICEADDED, SDL_ENABLE);
    SDL_EventState(SDL_JOYDEVICEREMOVED, SDL_ENABLE);
    return true;
}

void StopSdlJoysticks()
{
    SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
}

CSdlJoystickSubsystem::CSdlJoystickSubsystem()
{
    std::lock_guard<std::mutex> lock(SdlLock());
    m_bReady = StartSdlJoysticks();
}

CSdlJoystickSubsystem::~CSdlJoystickSubsystem()
{
    std::lock_guard<std::mutex> lock(SdlLock());
    if (m_bReady) StopSdlJoysticks();
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
        if (SDL_IsGameController(index)) {
            SDL_GameController* const pad = SDL_GameControllerOpen(index);
            if (pad != nullptr) return std::make_unique<CSdlJoystick>(pad);
        }
        SDL_Joystick* const joystick = SDL_JoystickOpen(index);
        if (joystick == nullptr) return nullptr;
        return std::make_unique<CSdlJoystick>(joystick);
    }
    return nullptr;
}

bool CSdlJoystickSubsystem::DevicesChanged()
{
    if (!m_bReady) return false;
    std::lock_guard<std::mutex> lock(SdlLock());
    SDL_JoystickUpdate();  // where SDL notices devices plugged in or out
    // The game-controller layer answers each device event with one of its own, even while
    // its events are ignored; both kinds are drained here.
    SDL_Event events[8];
    bool changed = false;
    int count = 0;
    while ((count = SDL_PeepEvents(events, 8, SDL_GETEVENT, SDL_JOYAXISMOTION,
                                   SDL_CONTROLLERSENSORUPDATE)) > 0) {
        for (int i = 0; i < count; ++i) {
            const Uint32 type = events[i].type;
            changed = changed || type == SDL_JOYDEVICEADDED || type == SDL_JOYDEVICEREMOVED;
        }
    }
    return changed;
}
