#include "platform/x11/X11Keyboard.h"

#include <xcb/xcb.h>
#include <xcb/xinput.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "platform/linux/ScanCodeMap.h"
#include "platform/Window.h"

namespace {

// Before XInput 2.1 another client's grab (a menu's, say) hides raw events from us, and a
// key let go during it would stay down.
bool AnnounceRawKeys(xcb_connection_t* connection)
{
    const xcb_query_extension_reply_t* const extension =
        xcb_get_extension_data(connection, &xcb_input_id);
    if (extension == nullptr || extension->present == 0) return false;
    xcb_input_xi_query_version_reply_t* const reply = xcb_input_xi_query_version_reply(
        connection, xcb_input_xi_query_version(connection, 2, 1), nullptr);
    const bool recent = reply != nullptr &&
        (reply->major_version > 2 || (reply->major_version == 2 && reply->minor_version >= 1));
    std::free(reply);
    return recent;
}

}  // namespace

std::unique_ptr<CX11Keyboard> CX11Keyboard::Open()
{
    xcb_connection_t* const connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection) != 0) {
        xcb_disconnect(connection);
        return nullptr;
    }
    return std::make_unique<CX11Keyboard>(connection, AnnounceRawKeys(connection));
}

CX11Keyboard::CX11Keyboard(xcb_connection_t* connection, bool rawKeys)
    : m_pDisplay(connection), m_bRawKeys(rawKeys)
{
}

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
    if (m_bAcquired.exchange(true)) return DI_NOEFFECT;
    // Keys went up and down unheard while unacquired.
    m_bMapKnown = false;
    ListenForKeys(true);
    return DI_OK;
}

HRESULT CX11Keyboard::Unacquire()
{
    std::lock_guard<std::mutex> lock(m_lock);
    if (!m_bAcquired.exchange(false)) return DI_NOEFFECT;
    // Keys typed into other programs would otherwise pile up on the connection unread.
    if (m_pDisplay != nullptr) ListenForKeys(false);
    return DI_OK;
}

void CX11Keyboard::ListenForKeys(bool listen)
{
    if (!m_bRawKeys) return;
    struct {
        xcb_input_event_mask_t head;
        uint32_t bits;
    } mask = {{XCB_INPUT_DEVICE_ALL_MASTER, 1},
              listen ? uint32_t{XCB_INPUT_XI_EVENT_MASK_RAW_KEY_PRESS |
                                XCB_INPUT_XI_EVENT_MASK_RAW_KEY_RELEASE}
                     : 0u};
    // Raw events go to root windows only. Waiting for the answer means no key typed after
    // an unacquire is heard, and a server that refuses leaves us asking every tick.
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(m_pDisplay)).data->root;
    xcb_generic_error_t* const error = xcb_request_check(
        m_pDisplay, xcb_input_xi_select_events_checked(m_pDisplay, root, 1, &mask.head));
    if (error != nullptr) m_bRawKeys = false;
    std::free(error);
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
    if (KeysMayHaveChanged()) {
        // Unlike Xlib, which ends the process when its server goes away, a lost
        // connection here only fails each read from then on.
        xcb_query_keymap_reply_t* const reply =
            xcb_query_keymap_reply(m_pDisplay, xcb_query_keymap(m_pDisplay), nullptr);
        if (reply == nullptr) return DIERR_INPUTLOST;
        std::memcpy(m_keymap, reply->keys, sizeof m_keymap);
        std::free(reply);
        m_bMapKnown = true;
    }
    if (xcb_connection_has_error(m_pDisplay) != 0) return DIERR_INPUTLOST;
    DikStateFromKeymap(m_keymap, static_cast<uint8_t*>(data));
    return DI_OK;
}

bool CX11Keyboard::KeysMayHaveChanged()
{
    // Drained before the map is asked for, never after: an event read after the answer
    // may stand for a change the answer does not hold yet.
    bool changed = !m_bRawKeys || !m_bMapKnown;
    while (xcb_generic_event_t* const event = xcb_poll_for_event(m_pDisplay)) {
        changed = true;
        std::free(event);
    }
    return changed;
}
