#include "platform/x11/X11Keyboard.h"

#include <xcb/xcb.h>

#include <cstdint>
#include <cstdlib>

#include "platform/ScanCodeMap.h"
#include "platform/Window.h"

std::unique_ptr<CX11Keyboard> CX11Keyboard::Open()
{
    xcb_connection_t* const connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection) != 0) {
        xcb_disconnect(connection);
        return nullptr;
    }
    return std::make_unique<CX11Keyboard>(connection);
}

CX11Keyboard::CX11Keyboard(xcb_connection_t* connection) : m_pDisplay(connection) {}

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
    xcb_disconnect(m_pDisplay);
    m_pDisplay = nullptr;
}

HRESULT CX11Keyboard::GetDeviceState(uint32_t size, void* data)
{
    if (size != DI_KEYBOARD_STATE_SIZE || data == nullptr) return E_INVALIDARG;
    std::lock_guard<std::mutex> lock(m_lock);
    if (m_pDisplay == nullptr || !m_bAcquired) return DIERR_NOTACQUIRED;
    // Unlike Xlib, which ends the process when its server goes away, a lost connection
    // here only fails each read from then on.
    xcb_query_keymap_reply_t* const reply =
        xcb_query_keymap_reply(m_pDisplay, xcb_query_keymap(m_pDisplay), nullptr);
    if (reply == nullptr) return DIERR_INPUTLOST;
    DikStateFromKeymap(reply->keys, static_cast<uint8_t*>(data));
    std::free(reply);
    return DI_OK;
}
