#pragma once
// The input system of the desktop game: the keyboard read from the X server's key map when
// the window system is X11, followed through the window's key events otherwise, and the
// joysticks through SDL2.
//
// What the frame window must do (window thread):
//  - create it with CreateDesktopInputSystem once the QApplication exists, put it in the
//    PlatformInstance, and keep it alive until after the controller's Shutdown;
//  - on activation and on focus-in call AcquireInput(); on deactivation call
//    OnForegroundLost(), so no key or stick is read while another window is in front;
//  - hand every key press it receives to KeyEvent, and every key release the whole
//    application receives (a menu or a dialog may take it), auto-repeats included (they
//    are filtered here); with the server's key map in use they are ignored.
#include <memory>
#include <mutex>
#include <vector>

#include "platform/InputSystem.h"

class CQtKeyboard;
class CSdlJoystickSubsystem;
class QKeyEvent;

class CDesktopInputSystem final : public IInputSystem {
public:
    // useServerKeyMap: try the X server's key map before falling back to key events.
    explicit CDesktopInputSystem(bool useServerKeyMap);
    ~CDesktopInputSystem() override;
    CDesktopInputSystem(const CDesktopInputSystem&) = delete;
    CDesktopInputSystem& operator=(const CDesktopInputSystem&) = delete;

    HRESULT CreateKeyboard(IKeyboardDevice** keyboard) override;
    HRESULT EnumJoysticks(LPDIENUMDEVICESCALLBACK callback, void* ref) override;
    HRESULT CreateJoystick(const DIDEVICEINSTANCE& instance, IJoystickDevice** joystick) override;
    bool DevicesChanged() override;
    void OnForegroundLost() override;

    void KeyEvent(const QKeyEvent& event);
    // Whether the keyboards made so far read the server's key map.
    bool ReadsServerKeyMap() const { return m_bServerKeyMap; }

private:
    bool m_bServerKeyMap;
    std::unique_ptr<CSdlJoystickSubsystem> m_pJoysticks;  // outlives the devices below
    std::mutex m_devicesLock;  // a joystick may be added on the timer thread
    std::vector<std::unique_ptr<IInputDevice>> m_devices;
    std::vector<CQtKeyboard*> m_eventKeyboards;  // those of m_devices fed by KeyEvent
};

// The game's input system for the running QGuiApplication: the server's key map on the
// "xcb" platform, key events on any other (a Wayland window's keys never reach the map).
std::unique_ptr<CDesktopInputSystem> CreateDesktopInputSystem();
