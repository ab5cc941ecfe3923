#include <gtest/gtest.h>

#include <linux/input.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QKeyEvent>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <initializer_list>

#include "game/Game.h"
#include "game/Globals.h"
#include "input/Input.h"
#include "platform/PlatformInstance.h"
#include "platform/linux/JoystickNodeWatch.h"
#include "platform/sdl/SdlJoystick.h"
#include "platform/sdl/SdlVirtualJoystick.h"
#include "platform/desktop/DesktopInputSystem.h"
#include "tests/fakes/FakeWindow.h"
#include "tests/fakes/GameHarness.h"

namespace {

constexpr int16_t kHalfDeflection = 16384;  // half of SDL's range, the dead zone's edge
constexpr int kPadAxes = 6;      // sticks and triggers
constexpr int kPadButtons = 15;  // through the D-pad
constexpr auto kGamepad = CSdlVirtualJoystick::Kind::Gamepad;

class SdlJoystickTest : public testing::Test {
protected:
    SdlJoystickTest() { instance.pInputSystem = &system; }
    ~SdlJoystickTest() override { input.ReleaseDevices(); }

    uint32_t Tick()
    {
        g_dwInput = 0;
        input.PollKeyboard();
        input.PollJoystick();
        return g_dwInput;
    }
    void Key(QEvent::Type type, int key)
    {
        system.KeyEvent(QKeyEvent(type, key, Qt::NoModifier));
    }

    CDesktopInputSystem system{false};
    CFakeWindow window;
    PlatformInstance instance;
    CInput input;
};

TEST_F(SdlJoystickTest, DeflectionsInsideTheDeadZoneSetNoBitAndBeyondItTheFullBit)
{
    CSdlVirtualJoystick stick(2, 1);
    ASSERT_TRUE(stick.IsAttached());
    ASSERT_TRUE(input.Init(&window, &instance));
    ASSERT_NE(input.m_pJoystick.load(), nullptr);

    stick.SetAxis(0, -(kHalfDeflection - 400));
    stick.SetAxis(1, kHalfDeflection - 400);
    EXPECT_EQ(Tick(), 0u);
    stick.SetAxis(0, -(kHalfDeflection + 400));
    EXPECT_EQ(Tick(), INPUT_LEFT);
    stick.SetAxis(0, 32767);
    stick.SetAxis(1, -32768);
    EXPECT_EQ(Tick(), INPUT_RIGHT | INPUT_UP);
    stick.SetAxis(0, 0);
    stick.SetAxis(1, kHalfDeflection + 400);
    stick.SetButton(0, true);
    EXPECT_EQ(Tick(), INPUT_DOWN | INPUT_FIRE);
}

TEST_F(SdlJoystickTest, APadPluggedInOrOutDuringPlayIsPickedUpOrDroppedAtOnce)
{
    ASSERT_TRUE(input.Init(&window, &instance));
    EXPECT_EQ(input.m_pJoystick.load(), nullptr);
    CSdlVirtualJoystick pad(kPadAxes, kPadButtons, kGamepad);
    pad.SetButton(GAMEPAD_SOUTH, true);
    EXPECT_EQ(Tick(), INPUT_FIRE) << "no activation needed";

    Key(QEvent::KeyPress, Qt::Key_Left);
    pad.Unplug();
    EXPECT_EQ(Tick(), INPUT_LEFT) << "the keyboard goes on alone";
    EXPECT_EQ(input.m_pJoystick.load(), nullptr);
    EXPECT_EQ(Tick(), INPUT_LEFT);

    CSdlVirtualJoystick stick(2, 1);
    stick.SetAxis(0, 32767);
    EXPECT_EQ(Tick(), INPUT_LEFT | INPUT_RIGHT);
}

TEST_F(SdlJoystickTest, EachGamepadControlSetsItsBitAndOnlyItsOwn)
{
    CSdlVirtualJoystick pad(kPadAxes, kPadButtons, kGamepad);
    ASSERT_TRUE(input.Init(&window, &instance));
    ASSERT_NE(input.m_pJoystick.load(), nullptr);
    ASSERT_TRUE(input.m_pJoystick.load()->IsGamepad());
    const struct {
        int button;
        uint32_t bit;
    } kButtons[] = {{GAMEPAD_DPAD_LEFT, INPUT_LEFT}, {GAMEPAD_DPAD_RIGHT, INPUT_RIGHT},
                    {GAMEPAD_DPAD_UP, INPUT_UP},     {GAMEPAD_DPAD_DOWN, INPUT_DOWN},
                    {GAMEPAD_SOUTH, INPUT_FIRE},     {GAMEPAD_START, INPUT_START},
                    {1, 0u}, {2, 0u}, {3, 0u}, {4, 0u}, {9, 0u}, {10, 0u}};
    for (const auto& control : kButtons) {
        pad.SetButton(control.button, true);
        EXPECT_EQ(Tick(), control.bit) << "button " << control.button;
        pad.SetButton(control.button, false);
    }
    pad.SetAxis(0, -(kHalfDeflection - 400));
    EXPECT_EQ(Tick(), 0u) << "the left stick keeps the dead zone";
    pad.SetAxis(0, -(kHalfDeflection + 400));
    pad.SetAxis(1, 32767);
    EXPECT_EQ(Tick(), INPUT_LEFT | INPUT_DOWN);
    pad.SetAxis(0, 0);
    pad.SetAxis(1, 0);
    for (int axis = 2; axis < kPadAxes; ++axis) pad.SetAxis(axis, 32767);
    EXPECT_EQ(Tick(), 0u) << "right stick and triggers do nothing";
}

TEST_F(SdlJoystickTest, APlainJoystickFiresWithButtonZeroAlone)
{
    CSdlVirtualJoystick stick(2, kPadButtons);
    ASSERT_TRUE(input.Init(&window, &instance));
    ASSERT_FALSE(input.m_pJoystick.load()->IsGamepad());
    for (int button = 1; button < kPadButtons; ++button) stick.SetButton(button, true);
    EXPECT_EQ(Tick(), 0u);
}

TEST(SdlGamepadGameTest, StartOnTheTitleBeginsARun)
{
    CDesktopInputSystem system(false);
    CSdlVirtualJoystick pad(kPadAxes, kPadButtons, kGamepad);
    CGameHarness harness;
    harness.instance.pInputSystem = &system;
    ASSERT_TRUE(g_pInput->Init(&harness.window, &harness.instance));
    harness.Start();
    harness.Ticks(3);
    EXPECT_EQ(harness.game->m_nState, STATE_TITLE);
    pad.SetButton(GAMEPAD_START, true);
    harness.Tick();
    EXPECT_EQ(harness.game->m_nState, STATE_PLAY);
}

TEST_F(SdlJoystickTest, NothingIsReadOnceTheWindowLosesTheForeground)
{
    CSdlVirtualJoystick stick(2, 1);
    ASSERT_TRUE(input.Init(&window, &instance));
    stick.SetAxis(0, 32767);
    EXPECT_EQ(Tick(), INPUT_RIGHT);
    system.OnForegroundLost();
    EXPECT_EQ(Tick(), 0u);
    input.Acquire();
    EXPECT_EQ(Tick(), INPUT_RIGHT);
}

TEST(SdlJoystickScaleTest, AxesMapOntoTheRangeAroundAnExactCentre)
{
    EXPECT_EQ(CSdlJoystick::ScaleAxis(-32768, -1000, 1000, 0), -1000);
    EXPECT_EQ(CSdlJoystick::ScaleAxis(32767, -1000, 1000, 0), 1000);
    EXPECT_EQ(CSdlJoystick::ScaleAxis(0, -1000, 1000, 0), 0);
    EXPECT_EQ(CSdlJoystick::ScaleAxis(16384, -1000, 1000, 0), 500);
    EXPECT_EQ(CSdlJoystick::ScaleAxis(16383, -1000, 1000, 5000), 0);
    EXPECT_EQ(CSdlJoystick::ScaleAxis(-16384, -1000, 1000, 5000), 0);
    EXPECT_EQ(CSdlJoystick::ScaleAxis(16390, -1000, 1000, 5000), 1) << "just past: moved";
    EXPECT_EQ(CSdlJoystick::ScaleAxis(32767, -1000, 1000, 5000), 1000);
    EXPECT_EQ(CSdlJoystick::ScaleAxis(-32768, -1000, 1000, 5000), -1000);
    EXPECT_EQ(CSdlJoystick::ScaleAxis(32767, 0, 65535, 10000), 32768) << "all dead zone";
}

// What each kind of device reports through EVIOCGBIT, reduced to the bits that tell them apart.
bool Looks(std::initializer_list<int> keyBits, std::initializer_list<int> axisBits)
{
    unsigned char keys[KEY_MAX / 8 + 1] = {};
    unsigned char axes[ABS_MAX / 8 + 1] = {};
    for (const int bit : keyBits) keys[bit / 8] |= 1 << (bit % 8);
    for (const int bit : axisBits) axes[bit / 8] |= 1 << (bit % 8);
    return CJoystickNodeWatch::LooksLikeJoystick(keys, axes);
}

TEST(JoystickNodeWatchTest, SticksAndPadsLoadSdlWhileKeyboardsPointersAndTouchDoNot)
{
    EXPECT_TRUE(Looks({BTN_SOUTH, BTN_START}, {ABS_X, ABS_Y, ABS_RX, ABS_RY})) << "gamepad";
    EXPECT_TRUE(Looks({BTN_TRIGGER, BTN_THUMB}, {ABS_X, ABS_Y, ABS_THROTTLE})) << "joystick";
    EXPECT_TRUE(Looks({}, {ABS_X, ABS_Y})) << "a stick with no buttons of its own";
    EXPECT_TRUE(Looks({BTN_TRIGGER_HAPPY1}, {})) << "a pad's extra buttons alone";
    EXPECT_FALSE(Looks({KEY_A, KEY_SPACE, KEY_LEFTCTRL}, {})) << "keyboard";
    EXPECT_FALSE(Looks({BTN_LEFT, BTN_RIGHT}, {})) << "mouse";
    EXPECT_FALSE(Looks({BTN_LEFT, BTN_RIGHT}, {ABS_X, ABS_Y})) << "a virtual machine's tablet";
    EXPECT_FALSE(Looks({BTN_TOUCH, BTN_TOOL_FINGER, BTN_LEFT}, {ABS_X, ABS_Y, ABS_MT_SLOT}))
        << "touchpad";
    EXPECT_FALSE(Looks({BTN_TOUCH}, {ABS_X, ABS_Y})) << "touch screen";
    EXPECT_FALSE(Looks({BTN_TOOL_PEN, BTN_TOUCH, BTN_STYLUS}, {ABS_X, ABS_Y, ABS_PRESSURE}))
        << "tablet";
}

TEST(JoystickNodeWatchTest, ANodePluggedInAfterStartIsSeenWhileOtherFilesAreNot)
{
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("vantor-input-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    const auto make = [&folder](const char* name) { std::fclose(std::fopen((folder / name).c_str(), "w")); };
    CJoystickNodeWatch watch(folder.string());
    EXPECT_FALSE(watch.JoystickPresent());
    make("event3");  // not an event device: it answers no ioctl
    make("mouse0");
    EXPECT_FALSE(watch.JoystickPresent());
    make("js0");
    EXPECT_TRUE(watch.JoystickPresent()) << "seen through the watch, without a new watch";
    std::filesystem::remove_all(folder);
    EXPECT_FALSE(CJoystickNodeWatch(folder.string()).JoystickPresent()) << "no folder: none";
}

}  // namespace
