#include <gtest/gtest.h>

#include <QKeyEvent>

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
// Xlib's event-type macros would shadow QEvent's.
#undef KeyPress
#undef KeyRelease
#include <sys/socket.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <set>
#include <thread>

#include "platform/DikCodes.h"
#include "platform/linux/ScanCodeMap.h"
#include "platform/qt/QtKeyboard.h"
#include "platform/x11/X11Keyboard.h"
#include "tests/fakes/FakeWindow.h"

namespace {

constexpr uint32_t kEvdevOffset = 8;

TEST(KeymapTest, TheGameKeysHaveTheirDirectInputCodes)
{
    // Linux key codes: KEY_LEFTCTRL 29, KEY_SPACE 57, KEY_UP 103, KEY_LEFT 105,
    // KEY_RIGHT 106, KEY_DOWN 108, KEY_RIGHTCTRL 97.
    EXPECT_EQ(DikFromLinuxKeyCode(29), DIK_LCONTROL);
    EXPECT_EQ(DikFromLinuxKeyCode(57), DIK_SPACE);
    EXPECT_EQ(DikFromLinuxKeyCode(103), DIK_UP);
    EXPECT_EQ(DikFromLinuxKeyCode(105), DIK_LEFT);
    EXPECT_EQ(DikFromLinuxKeyCode(106), DIK_RIGHT);
    EXPECT_EQ(DikFromLinuxKeyCode(108), DIK_DOWN);
    EXPECT_EQ(DikFromLinuxKeyCode(97), DIK_RCONTROL);
    EXPECT_EQ(DikFromXKeycode(113), DIK_LEFT) << "X keycodes are 8 up";
    EXPECT_EQ(DikFromXKeycode(37), DIK_LCONTROL);
}

TEST(KeymapTest, TheMainBlockIsTheScanCodesThemselvesAndTheRestIsDistinct)
{
    EXPECT_EQ(DikFromLinuxKeyCode(1), DIK_ESCAPE);
    EXPECT_EQ(DikFromLinuxKeyCode(2), DIK_1);
    EXPECT_EQ(DikFromLinuxKeyCode(16), DIK_Q);
    EXPECT_EQ(DikFromLinuxKeyCode(28), DIK_RETURN);
    EXPECT_EQ(DikFromLinuxKeyCode(59), DIK_F1);
    EXPECT_EQ(DikFromLinuxKeyCode(87), DIK_F11);
    EXPECT_EQ(DikFromLinuxKeyCode(88), DIK_F12);
    EXPECT_EQ(DikFromLinuxKeyCode(0), 0);
    EXPECT_EQ(DikFromLinuxKeyCode(84), 0);
    EXPECT_EQ(DikFromLinuxKeyCode(240), 0);
    EXPECT_EQ(DikFromXKeycode(3), 0) << "below the evdev range";

    std::set<uint8_t> seen;
    for (uint32_t code = 0; code < 256; ++code) {
        const uint8_t dik = DikFromLinuxKeyCode(code);
        if (dik == 0 || code == 210) continue;  // KEY_PRINT shares Print Screen's code
        EXPECT_TRUE(seen.insert(dik).second) << "two keys give DIK " << int(dik);
    }
    EXPECT_GE(seen.size(), 110u);
}

TEST(KeymapTest, TheServerKeyMapBecomesTheWholeKeyState)
{
    uint8_t keymap[32] = {};
    const uint32_t left = 105 + kEvdevOffset, ctrl = 29 + kEvdevOffset, unknown = 250;
    for (uint32_t keycode : {left, ctrl, unknown}) keymap[keycode / 8] |= 1u << (keycode % 8);
    uint8_t state[256];
    std::memset(state, 0x55, sizeof state);
    DikStateFromKeymap(keymap, state);
    for (int dik = 0; dik < 256; ++dik) {
        const bool down = dik == DIK_LEFT || dik == DIK_LCONTROL;
        EXPECT_EQ(state[dik], down ? 0x80 : 0x00) << "DIK " << dik;
    }
}

// An X server for one client that asks one QueryKeymap, on a thread of its own: it
// accepts the connection (no screens, no formats), answers with one key down, then waits
// for the client's next request and goes away without answering.
void ServeOneKeymap(int fd, uint32_t keycodeDown)
{
    uint8_t request[12];
    uint8_t setup[40] = {1, 0, 11, 0, 0, 0, 8, 0};  // success, protocol 11.0, 8 words follow
    setup[14] = 0x20;                              // resource ids from 0x200000 ...
    setup[16] = 0xff, setup[17] = 0xff, setup[18] = 0x1f;  // ... under mask 0x1fffff
    setup[26] = 0xff, setup[27] = 0xff;            // longest request
    setup[34] = 8, setup[35] = 255;                // key codes 8..255
    uint8_t reply[40] = {1, 0, 1, 0, 2, 0, 0, 0};  // reply to request 1, 2 words follow
    reply[8 + keycodeDown / 8] = uint8_t(1u << (keycodeDown % 8));
    if (read(fd, request, 12) == 12 && write(fd, setup, sizeof setup) == sizeof setup &&
        read(fd, request, 4) == 4 && write(fd, reply, sizeof reply) == sizeof reply) {
        [[maybe_unused]] const ssize_t next = read(fd, request, 4);
    }
    close(fd);
}

TEST(KeymapTest, TheServerKeyboardReadsNothingOnceItsServerIsGoneAndTheProcessLives)
{
    int fds[2];
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, fds), 0);
    std::thread server(ServeOneKeymap, fds[0], 29 + kEvdevOffset);
    CX11Keyboard keyboard(xcb_connect_to_fd(fds[1], nullptr));
    ASSERT_EQ(keyboard.Acquire(), DI_OK);
    uint8_t state[256] = {};
    EXPECT_EQ(keyboard.GetDeviceState(sizeof state, state), DI_OK);
    EXPECT_EQ(state[DIK_LCONTROL], 0x80);
    std::memset(state, 0x55, sizeof state);
    EXPECT_EQ(keyboard.GetDeviceState(sizeof state, state), DIERR_INPUTLOST);
    EXPECT_EQ(keyboard.GetDeviceState(sizeof state, state), DIERR_INPUTLOST);
    EXPECT_EQ(state[DIK_LCONTROL], 0x55) << "a failed read leaves the state alone";
    server.join();
}

// The key map is the whole desktop's: read while the window is not in front, it would
// hold the keys typed into other programs.
TEST(KeymapTest, TheServerKeyboardIsAcquiredOnlyWhileItsWindowIsInFront)
{
    int fds[2];
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, fds), 0);
    std::thread server(ServeOneKeymap, fds[0], 29 + kEvdevOffset);
    CX11Keyboard keyboard(xcb_connect_to_fd(fds[1], nullptr));
    CFakeWindow window;
    window.foreground = false;
    keyboard.SetCooperativeLevel(&window, DISCL_NONEXCLUSIVE | DISCL_FOREGROUND);
    EXPECT_EQ(keyboard.Acquire(), DIERR_OTHERAPPHASPRIO);
    uint8_t state[256] = {};
    EXPECT_EQ(keyboard.GetDeviceState(sizeof state, state), DIERR_NOTACQUIRED);
    window.foreground = true;
    EXPECT_EQ(keyboard.Acquire(), DI_OK);
    EXPECT_EQ(keyboard.GetDeviceState(sizeof state, state), DI_OK);
    EXPECT_EQ(state[DIK_LCONTROL], 0x80);
    keyboard.Release();
    server.join();
}

// Presses and releases keys on a real server through XTEST, as a player's keyboard would.
class CTypist {
public:
    // The server tells every client when XTEST's device first takes over the keyboard,
    // and any event makes the keyboard ask again: a tap here keeps that out of the test.
    CTypist() : m_pDisplay(XOpenDisplay(nullptr))
    {
        if (m_pDisplay == nullptr) return;
        Key(true);
        Key(false);
        ServerHolds(false);
    }
    ~CTypist()
    {
        if (m_pDisplay == nullptr) return;
        Key(false);
        XCloseDisplay(m_pDisplay);
    }
    bool Opened() const { return m_pDisplay != nullptr; }
    void Key(bool down)
    {
        XTestFakeKeyEvent(m_pDisplay, XKeysymToKeycode(m_pDisplay, XK_Left), down, CurrentTime);
        XSync(m_pDisplay, False);
    }
    // The server may take the faked key in after it has answered the sync.
    bool ServerHolds(bool down)
    {
        const KeyCode code = XKeysymToKeycode(m_pDisplay, XK_Left);
        for (int tries = 0; tries < 200; ++tries) {
            char keys[32];
            XQueryKeymap(m_pDisplay, keys);
            if (((keys[code / 8] >> (code % 8)) & 1) == int(down)) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }

private:
    Display* m_pDisplay;
};

uint8_t LeftKey(CX11Keyboard& keyboard)
{
    uint8_t state[256] = {};
    return Succeeded(keyboard.GetDeviceState(sizeof state, state)) ? state[DIK_LEFT] : 0xEE;
}

bool LeftKeyBecomes(CX11Keyboard& keyboard, uint8_t value)
{
    for (int tries = 0; tries < 200; ++tries) {
        if (LeftKey(keyboard) == value) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

// The server's events only say when to ask again: a key pressed or let go while acquired
// must show, a key held must stay down from read to read, and one pressed while the
// keyboard was not listening must show at the first read after it is acquired again.
// It types on the display, so only its own private server runs it.
TEST(KeymapTest, OnX11EveryPressAndReleaseShows)
{
    if (std::getenv("VANTOR_PRIVATE_X_SERVER") == nullptr) GTEST_SKIP() << "types on the display";
    CTypist typist;
    const std::unique_ptr<CX11Keyboard> keyboard = CX11Keyboard::Open();
    ASSERT_TRUE(keyboard != nullptr && typist.Opened());
    ASSERT_EQ(keyboard->Acquire(), DI_OK);
    EXPECT_EQ(LeftKey(*keyboard), 0x00);
    typist.Key(true);
    EXPECT_TRUE(LeftKeyBecomes(*keyboard, 0x80)) << "a press while acquired";
    for (int read = 0; read < 5; ++read) EXPECT_EQ(LeftKey(*keyboard), 0x80) << "held";
    typist.Key(false);
    EXPECT_TRUE(LeftKeyBecomes(*keyboard, 0x00)) << "a release while acquired";

    EXPECT_EQ(keyboard->Unacquire(), DI_OK);
    typist.Key(true);
    ASSERT_TRUE(typist.ServerHolds(true));
    ASSERT_EQ(keyboard->Acquire(), DI_OK);
    EXPECT_EQ(LeftKey(*keyboard), 0x80) << "a press while unacquired";
    keyboard->Unacquire();
    typist.Key(false);
    ASSERT_TRUE(typist.ServerHolds(false));
    ASSERT_EQ(keyboard->Acquire(), DI_OK);
    EXPECT_EQ(LeftKey(*keyboard), 0x00) << "a release while unacquired";
}

QKeyEvent Key(QEvent::Type type, int key, bool autoRepeat = false)
{
    return QKeyEvent(type, key, Qt::NoModifier, QString(), autoRepeat);
}

uint8_t Read(CQtKeyboard& keyboard, uint8_t dik)
{
    uint8_t state[256] = {};
    return Succeeded(keyboard.GetDeviceState(sizeof state, state)) ? state[dik] : 0xEE;
}

TEST(QtKeyboardTest, HeldKeysStayDownThroughAutoRepeatAndOppositeKeysBothShow)
{
    CQtKeyboard keyboard;
    ASSERT_EQ(keyboard.Acquire(), DI_OK);
    keyboard.KeyEvent(Key(QEvent::KeyPress, Qt::Key_Left));
    keyboard.KeyEvent(Key(QEvent::KeyPress, Qt::Key_Right));
    keyboard.KeyEvent(Key(QEvent::KeyRelease, Qt::Key_Left, true));
    keyboard.KeyEvent(Key(QEvent::KeyPress, Qt::Key_Left, true));
    EXPECT_EQ(Read(keyboard, DIK_LEFT), 0x80);
    EXPECT_EQ(Read(keyboard, DIK_RIGHT), 0x80);
    keyboard.KeyEvent(Key(QEvent::KeyRelease, Qt::Key_Left));
    EXPECT_EQ(Read(keyboard, DIK_LEFT), 0x00);
    keyboard.KeyEvent(Key(QEvent::KeyPress, Qt::Key_Control));
    keyboard.KeyEvent(Key(QEvent::KeyPress, Qt::Key_Space));
    EXPECT_EQ(Read(keyboard, DIK_LCONTROL), 0x80);
    EXPECT_EQ(Read(keyboard, DIK_SPACE), 0x80);
}

TEST(QtKeyboardTest, UnacquiredItReadsNothingAndReacquiredItStartsWithAllKeysUp)
{
    CQtKeyboard keyboard;
    uint8_t state[256];
    EXPECT_EQ(keyboard.GetDeviceState(sizeof state, state), DIERR_NOTACQUIRED);
    keyboard.Acquire();
    keyboard.KeyEvent(Key(QEvent::KeyPress, Qt::Key_Up));
    keyboard.Unacquire();
    EXPECT_EQ(keyboard.GetDeviceState(sizeof state, state), DIERR_NOTACQUIRED);
    keyboard.Acquire();
    EXPECT_EQ(Read(keyboard, DIK_UP), 0x00) << "its release went to another window";
    keyboard.Release();
    EXPECT_EQ(keyboard.Acquire(), DIERR_DEVICENOTREG);
}

TEST(QtKeyboardTest, ItIsAcquiredOnlyWhileItsWindowIsInFront)
{
    CFakeWindow window;
    window.foreground = false;
    CQtKeyboard keyboard;
    keyboard.SetCooperativeLevel(&window, DISCL_NONEXCLUSIVE | DISCL_FOREGROUND);
    EXPECT_EQ(keyboard.Acquire(), DIERR_OTHERAPPHASPRIO);
    uint8_t state[256];
    EXPECT_EQ(keyboard.GetDeviceState(sizeof state, state), DIERR_NOTACQUIRED);
    window.foreground = true;
    EXPECT_EQ(keyboard.Acquire(), DI_OK);
}

TEST(QtKeyboardTest, WhereScanCodesAreXKeycodesRightCtrlIsNotLeftCtrl)
{
    const auto ctrl = [](uint32_t keycode) {
        return QKeyEvent(QEvent::KeyPress, Qt::Key_Control, Qt::ControlModifier, keycode, 0, 0);
    };
    EXPECT_EQ(CQtKeyboard::DikFromKeyEvent(ctrl(97 + kEvdevOffset), true), DIK_RCONTROL);
    EXPECT_EQ(CQtKeyboard::DikFromKeyEvent(ctrl(29 + kEvdevOffset), true), DIK_LCONTROL);
    EXPECT_EQ(CQtKeyboard::DikFromKeyEvent(ctrl(97 + kEvdevOffset), false), DIK_LCONTROL);
}

TEST(QtKeyboardTest, QtKeysMapToTheirDirectInputCodes)
{
    EXPECT_EQ(CQtKeyboard::DikFromQtKey(Qt::Key_Down, false), DIK_DOWN);
    EXPECT_EQ(CQtKeyboard::DikFromQtKey(Qt::Key_Escape, false), DIK_ESCAPE);
    EXPECT_EQ(CQtKeyboard::DikFromQtKey(Qt::Key_A, false), DIK_A);
    EXPECT_EQ(CQtKeyboard::DikFromQtKey(Qt::Key_M, false), DIK_M);
    EXPECT_EQ(CQtKeyboard::DikFromQtKey(Qt::Key_Z, false), DIK_Z);
    EXPECT_EQ(CQtKeyboard::DikFromQtKey(Qt::Key_0, false), DIK_0);
    EXPECT_EQ(CQtKeyboard::DikFromQtKey(Qt::Key_1, false), DIK_1);
    EXPECT_EQ(CQtKeyboard::DikFromQtKey(Qt::Key_9, false), DIK_9);
    EXPECT_EQ(CQtKeyboard::DikFromQtKey(Qt::Key_7, true), DIK_NUMPAD7);
    EXPECT_EQ(CQtKeyboard::DikFromQtKey(Qt::Key_F10, false), DIK_F10);
    EXPECT_EQ(CQtKeyboard::DikFromQtKey(Qt::Key_F12, false), DIK_F12);
    EXPECT_EQ(CQtKeyboard::DikFromQtKey(Qt::Key_Return, false), DIK_RETURN);
    EXPECT_EQ(CQtKeyboard::DikFromQtKey(Qt::Key_Exclam, false), 0);
}

}  // namespace
