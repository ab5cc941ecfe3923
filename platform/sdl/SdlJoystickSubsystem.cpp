#include "platform/sdl/SdlJoystickSubsystem.h"

#include <cstdio>

#include "platform/sdl/SdlJoystick.h"
#include "platform/sdl/SdlLibrary.h"

std::mutex& SdlLock()
{
    static std::mutex lock;
    return lock;
}

const SdlApi* StartSdlJoysticks()
{
    const SdlApi* const sdl = LoadSdl();
    if (sdl == nullptr) return nullptr;
    // The game's own window system owns SIGINT and SIGTERM; SDL must not take them over.
    sdl->SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // The game-controller layer brings the joystick layer with it, and reads the player's
    // SDL_GAMECONTROLLERCONFIG as it starts.
    if (sdl->InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) return nullptr;
    // State is read directly each tick; only the device events are queued, for
    // DevicesChanged to drain, so nothing piles up in a queue nobody else reads.
    sdl->JoystickEventState(SDL_IGNORE);
    sdl->GameControllerEventState(SDL_IGNORE);
    sdl->EventState(SDL_JOYDEVICEADDED, SDL_ENABLE);
    sdl->EventState(SDL_JOYDEVICEREMOVED, SDL_ENABLE);
    return sdl;
}

void StopSdlJoysticks(const SdlApi& sdl)
{
    sdl.QuitSubSystem(SDL_INIT_GAMECONTROLLER);
}

CSdlJoystickSubsystem::CSdlJoystickSubsystem()
{
    std::lock_guard<std::mutex> lock(SdlLock());
    Ready();
}

CSdlJoystickSubsystem::~CSdlJoystickSubsystem()
{
    std::lock_guard<std::mutex> lock(SdlLock());
    if (m_pSdl != nullptr) StopSdlJoysticks(*m_pSdl);
}

bool CSdlJoystickSubsystem::Ready()
{
    if (m_pSdl != nullptr) return true;
    if (m_bFailed || (LoadedSdl() == nullptr && !m_nodes.JoystickPresent())) return false;
    m_pSdl = StartSdlJoysticks();
    m_bFailed = m_pSdl == nullptr;  // not tried again each tick
    return !m_bFailed;
}

std::vector<DIDEVICEINSTANCE> CSdlJoystickSubsystem::Attached()
{
    std::vector<DIDEVICEINSTANCE> attached;
    std::lock_guard<std::mutex> lock(SdlLock());
    if (!Ready()) return attached;
    m_pSdl->JoystickUpdate();  // looks for devices plugged in since the last update
    const int count = m_pSdl->NumJoysticks();
    for (int index = 0; index < count; ++index) {
        DIDEVICEINSTANCE instance;
        instance.guidInstance = m_pSdl->JoystickGetDeviceInstanceID(index);
        if (instance.guidInstance < 0) continue;
        const char* const name = m_pSdl->JoystickNameForIndex(index);
        std::snprintf(instance.tszProductName, sizeof instance.tszProductName, "%s",
                      name != nullptr ? name : "joystick");
        attached.push_back(instance);
    }
    return attached;
}

std::unique_ptr<CSdlJoystick> CSdlJoystickSubsystem::Open(const DIDEVICEINSTANCE& instance)
{
    std::lock_guard<std::mutex> lock(SdlLock());
    if (m_pSdl == nullptr) return nullptr;
    const SdlApi& sdl = *m_pSdl;
    // Device indices shift as joysticks come and go; the instance id does not.
    const int count = sdl.NumJoysticks();
    for (int index = 0; index < count; ++index) {
        if (sdl.JoystickGetDeviceInstanceID(index) != instance.guidInstance) continue;
        if (sdl.IsGameController(index)) {
            SDL_GameController* const pad = sdl.GameControllerOpen(index);
            if (pad != nullptr) return std::make_unique<CSdlJoystick>(sdl, pad);
        }
        SDL_Joystick* const joystick = sdl.JoystickOpen(index);
        if (joystick == nullptr) return nullptr;
        return std::make_unique<CSdlJoystick>(sdl, joystick);
    }
    return nullptr;
}

bool CSdlJoystickSubsystem::DevicesChanged()
{
    std::lock_guard<std::mutex> lock(SdlLock());
    if (m_pSdl == nullptr) return Ready();  // SDL's first look is a change of its own
    m_pSdl->JoystickUpdate();  // where SDL notices devices plugged in or out
    // The game-controller layer answers each device event with one of its own, even while
    // its events are ignored; both kinds are drained here.
    SDL_Event events[8];
    bool changed = false;
    int count = 0;
    while ((count = m_pSdl->PeepEvents(events, 8, SDL_GETEVENT, SDL_JOYAXISMOTION,
                                       SDL_CONTROLLERSENSORUPDATE)) > 0) {
        for (int i = 0; i < count; ++i) {
            const Uint32 type = events[i].type;
            changed = changed || type == SDL_JOYDEVICEADDED || type == SDL_JOYDEVICEREMOVED;
        }
    }
    return changed;
}
