#pragma once
// SDL2's joystick and game-controller subsystems on their own (no video, no signal
// handlers of SDL's), which find and open the attached joysticks. SDL's event queue carries
// only the plug-in and unplug events, which DevicesChanged drains.
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
    // Null when that joystick is gone or cannot be opened. A pad with a mapping is opened
    // as a game controller.
    std::unique_ptr<CSdlJoystick> Open(const DIDEVICEINSTANCE& instance);
    // Whether a joystick was plugged in or out since the last call.
    bool DevicesChanged();

private:
    bool m_bReady = false;
};

// Serialises this layer's SDL calls between the window and the timer thread.
std::mutex& SdlLock();

// Starts SDL's joystick subsystems the way the game needs them; false when they cannot.
// Callers hold SdlLock() and pair a success with StopSdlJoysticks().
bool StartSdlJoysticks();
void StopSdlJoysticks();
