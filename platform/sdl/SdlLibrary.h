#pragma once
// SDL2, opened at run time the first time a joystick may be there to read, not linked: a
// linked SDL maps itself and the two dozen libraries it needs (sound servers, codecs,
// Wayland, DRM) into every run, for the joystick most players never plug in. Measured
// against SDL linked and its joystick subsystem started at once: 3.0 MB less resident,
// 1.9 MB of it for loading at run time, 1.1 MB for waiting on the node watch
// (platform/linux/JoystickNodeWatch.h). The entry points this layer calls are looked up
// once, typed from SDL's own header.
//
// Threads: LoadSdl under SdlLock(); LoadedSdl on any thread. The library stays loaded
// until the process ends.
#include <SDL.h>

#define VANTOR_SDL_ENTRY_POINTS(X)                                                        \
    X(SetHint) X(InitSubSystem) X(QuitSubSystem) X(EventState) X(PeepEvents)             \
    X(JoystickEventState) X(JoystickUpdate) X(NumJoysticks) X(JoystickNameForIndex)      \
    X(JoystickGetDeviceInstanceID) X(JoystickOpen) X(JoystickClose) X(JoystickInstanceID) \
    X(JoystickGetAttached) X(JoystickNumAxes) X(JoystickNumButtons) X(JoystickGetAxis)   \
    X(JoystickGetButton) X(IsGameController) X(GameControllerEventState)                 \
    X(GameControllerOpen) X(GameControllerClose) X(GameControllerGetJoystick)            \
    X(GameControllerGetAxis) X(GameControllerGetButton) X(JoystickAttachVirtual)         \
    X(JoystickDetachVirtual) X(JoystickSetVirtualAxis) X(JoystickSetVirtualButton)

struct SdlApi {
#define VANTOR_SDL_MEMBER(name) decltype(&::SDL_##name) name;
    VANTOR_SDL_ENTRY_POINTS(VANTOR_SDL_MEMBER)
#undef VANTOR_SDL_MEMBER
};

// Loads the library once. Null, after one line on standard error, when it or one of its
// entry points is missing: there are then no joysticks. Later calls answer the same.
const SdlApi* LoadSdl();
// The loaded entry points; null until a LoadSdl succeeded.
const SdlApi* LoadedSdl();
