#pragma once
// The devices the application opened for the game, handed to the controller at
// construction in the place an application instance handle would go. The application
// owns them and keeps them alive until after the controller's Shutdown.
// A null device means "not available": the part of the game that needs it runs silent.
class IMultimediaTimer;
class IInputSystem;
class ISoundSystem;

struct PlatformInstance {
    IMultimediaTimer* pTimer = nullptr;
    IInputSystem* pInputSystem = nullptr;
    ISoundSystem* pSoundSystem = nullptr;
};
