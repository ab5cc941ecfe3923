#include "platform/x11/X11Keyboard.h"

#include <X11/Xlib.h>

#include <cstdint>

#include "platform/ScanCodeMap.h"
#include "platform/Window.h"

std::unique_ptr<CX11Keyboard> CX11Keyboard::Open()
{
    Display* const display = XOpenDisplay(nullptr);
    if (display == nullptr) return nullptr;
    return std::make_unique<CX11Keyboard>(display);
}

CX11Keyboard::CX11Keyboard(_XDisplay* display) : m_pDisplay(display) {}

CX11Keyboard::~CX11Keyboard()
{
    Release();
}

HRESULT CX11Keyboard::SetCooperativeLevel(IWindow* window, uint32_t)
{
    m_pWindow = window;
    return DI_OK;
}

HRESULT CX11Keyboard::Acquire()
{
    // The key map is the whole desktop's: a window that is not in front would read keys
    // typed into other programs.
    if (m_pWindow != nullptr && !m_pWindow->IsForeground()) return DIERR_OTHERAPPHASPRIO;
    std::lock_guard<std::mutex> lock(m_lock);
    if (m_pDisplay == nullptr) return DIERR_DEVICENOTREG;
    return m_bAcquired.exchange(true) ? DI_NOEFFECT : DI_OK;
}

HRESULT CX11Keyboard::Unacquire()
{
    return m_bAcquired.exchange(false) ? DI_OK : DI_NOEFFECT;
}

void CX11Keyboard::Release()
{
    std::lock_guard<std::mutex> lock(m_lock);
    m_bAcquired = false;
    if (m_pDisplay == nullptr) return;
    XCloseDisplay(m_pDisplay);
    m_pDisplay = nullptr;
}

HRESULT CX11Keyboard::GetDeviceState(uint32_t size, void* data)
{
    if (size != DI_KEYBOARD_STATE_SIZE || data == nullptr) return E_INVALIDARG;
    std::lock_guard<std::mutex> lock(m_lock);
    if (m_pDisplay == nullptr || !m_bAcquired) return DIERR_NOTACQUIRED;
    char keymap[32] = {};
    XQueryKeymap(m_pDisplay, keymap);
    DikStateFromKeymap(reinterpret_cast<const uint8_t*>(keymap), static_cast<uint8_t*>(data));
    return DI_OK;
}
