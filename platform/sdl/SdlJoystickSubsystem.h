#pragma once
// SDL2's joystick subsystem on its own (no video, no event queue, no signal handlers of
// SDL's), which finds and opens the attached joysticks.
//
// One object per input system; SDL counts initialisations, so tests may hold another.
// Threads: every SDL call of this layer, on any thread, is made under SdlLock().
#include <memory>
#include <mutex>
#include <vector>

#include "platform/InputSystem.h"

class CSdlJoystick;

class CSdlJoystickSubsystem {
public:
    CSdlJoystickSubsystem();  // window thread
    ~CSdlJoystickSubsystem();
    CSdlJoystickSubsystem(const CSdlJoystickSubsystem&) = delete;
    CSdlJoystickSubsystem& operator=(const CSdlJoystickSubsystem&) = delete;

    // False when SDL could not start its joystick subsystem; there are then no joysticks.
    bool IsReady() const { return m_bReady; }
    // The joysticks attached now, including any plugged in since the last call.
    std::vector<DIDEVICEINSTANCE> Attached();
    // Null when that joystick is gone or cannot be opened.
    std::unique_ptr<CSdlJoystick> Open(const DIDEVICEINSTANCE& instance);

private:
    bool m_bReady = false;
};

// Serialises this layer's SDL calls between the window and the timer thread.
std::mutex& SdlLock();

// Starts SDL's joystick subsystem the way the game needs it; false when it cannot.
// Callers hold SdlLock() and pair a success with SDL_QuitSubSystem(SDL_INIT_JOYSTICK).
bool StartSdlJoysticks();
