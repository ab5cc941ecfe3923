#include "platform/desktop/DesktopInputSystem.h"

#include <QGuiApplication>

#include "platform/qt/QtKeyboard.h"
#include "platform/sdl/SdlJoystick.h"
#include "platform/sdl/SdlJoystickSubsystem.h"
#include "platform/x11/X11Keyboard.h"

CDesktopInputSystem::CDesktopInputSystem(bool useServerKeyMap)
    : m_bServerKeyMap(useServerKeyMap), m_pJoysticks(std::make_unique<CSdlJoystickSubsystem>())
{
}

CDesktopInputSystem::~CDesktopInputSystem()
{
    m_devices.clear();
    m_pJoysticks.reset();
}

HRESULT CDesktopInputSystem::CreateKeyboard(IKeyboardDevice** keyboard)
{
    std::unique_ptr<CX11Keyboard> serverKeyboard;
    if (m_bServerKeyMap) serverKeyboard = CX11Keyboard::Open();
    std::lock_guard<std::mutex> lock(m_devicesLock);
    if (serverKeyboard) {
        *keyboard = serverKeyboard.get();
        m_devices.push_back(std::move(serverKeyboard));
        return DI_OK;
    }
    m_bServerKeyMap = false;
    auto eventKeyboard = std::make_unique<CQtKeyboard>();
    m_eventKeyboards.push_back(eventKeyboard.get());
    *keyboard = eventKeyboard.get();
    m_devices.push_back(std::move(eventKeyboard));
    return DI_OK;
}

HRESULT CDesktopInputSystem::EnumJoysticks(LPDIENUMDEVICESCALLBACK callback, void* ref)
{
    for (const DIDEVICEINSTANCE& instance : m_pJoysticks->Attached()) {
        if (callback(&instance, ref) == DIENUM_STOP) break;
    }
    return DI_OK;
}

HRESULT CDesktopInputSystem::CreateJoystick(const DIDEVICEINSTANCE& instance,
                                            IJoystickDevice** joystick)
{
    std::unique_ptr<CSdlJoystick> opened = m_pJoysticks->Open(instance);
    *joystick = opened.get();
    if (!opened) return DIERR_DEVICENOTREG;
    std::lock_guard<std::mutex> lock(m_devicesLock);
    m_devices.push_back(std::move(opened));
    return DI_OK;
}

bool CDesktopInputSystem::DevicesChanged()
{
    return m_pJoysticks->DevicesChanged();
}

void CDesktopInputSystem::OnForegroundLost()
{
    std::lock_guard<std::mutex> lock(m_devicesLock);
    for (const auto& device : m_devices) device->Unacquire();
}

void CDesktopInputSystem::KeyEvent(const QKeyEvent& event)
{
    for (CQtKeyboard* keyboard : m_eventKeyboards) keyboard->KeyEvent(event);
}

std::unique_ptr<CDesktopInputSystem> CreateDesktopInputSystem()
{
    const bool x11 = QGuiApplication::platformName() == QLatin1String("xcb");
    return std::make_unique<CDesktopInputSystem>(x11);
}
