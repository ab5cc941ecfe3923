#pragma once
// SDL2's joystick and game-controller subsystems on their own (no video, no signal
// handlers of SDL's), which find and open the attached joysticks. SDL's event queue carries
// only the plug-in and unplug events, which DevicesChanged drains.
//
// SDL is loaded and started only once a device that may be a joystick is there, at
// construction or when one is plugged in later, or once something else in the process
// has loaded it (a test's virtual joystick); until then there are no joysticks, and
// DevicesChanged costs one read of a folder watch.
//
// One object per input system; SDL counts initialisations, so tests may hold another.
// Threads: every SDL call of this layer, on any thread, is made under SdlLock().
#include <memory>
#include <mutex>
#include <vector>

#include "platform/InputSystem.h"
#include "platform/linux/JoystickNodeWatch.h"

struct SdlApi;
class CSdlJoystick;

class CSdlJoystickSubsystem {
public:
    CSdlJoystickSubsystem();  // window thread
    ~CSdlJoystickSubsystem();
    CSdlJoystickSubsystem(const CSdlJoystickSubsystem&) = delete;
    CSdlJoystickSubsystem& operator=(const CSdlJoystickSubsystem&) = delete;

    // The joysticks attached now, including any plugged in since the last call.
    std::vector<DIDEVICEINSTANCE> Attached();
    // Null when that joystick is gone or cannot be opened. A pad with a mapping is opened
    // as a game controller.
    std::unique_ptr<CSdlJoystick> Open(const DIDEVICEINSTANCE& instance);
    // Whether a joystick was plugged in or out since the last call.
    bool DevicesChanged();

private:
    // Starts SDL when it may have a joystick to show; whether it runs. Under SdlLock().
    bool Ready();

    const SdlApi* m_pSdl = nullptr;  // set once SDL runs for this object; under SdlLock()
    bool m_bFailed = false;          // SDL would not start; under SdlLock()
    CJoystickNodeWatch m_nodes;      // under SdlLock()
};

// Serialises this layer's SDL calls between the window and the timer thread.
std::mutex& SdlLock();

// Loads SDL and starts its joystick subsystems the way the game needs them; null when they
// cannot. Callers hold SdlLock() and pair a success with StopSdlJoysticks().
const SdlApi* StartSdlJoysticks();
void StopSdlJoysticks(const SdlApi& sdl);
