#include <gtest/gtest.h>

#include <cstring>

#include "input/Input.h"
#include "platform/null/NullInputSystem.h"
#include "platform/PlatformInstance.h"
#include "tests/fakes/FakeInputSystem.h"
#include "tests/fakes/FakeWindow.h"

namespace {

class InputTest : public testing::Test {
protected:
    InputTest()
    {
        instance.pInputSystem = &system;
        g_dwInput = 0;
        std::memset(g_keyState, 0, sizeof g_keyState);
    }
    ~InputTest() override { input.ReleaseDevices(); }

    uint32_t Tick()
    {
        g_dwInput = 0;
        input.PollKeyboard();
        input.PollJoystick();
        return g_dwInput;
    }

    CFakeInputSystem system;
    CFakeWindow window;
    PlatformInstance instance;
    CInput input;
};

TEST_F(InputTest, InitSetsUpAnAcquiredForegroundKeyboardAndNoJoystickWhenNoneIsAttached)
{
    EXPECT_TRUE(input.Init(&window, &instance));
    EXPECT_EQ(system.keyboard.cooperativeWindow, &window);
    EXPECT_EQ(system.keyboard.cooperativeFlags, DISCL_NONEXCLUSIVE | DISCL_FOREGROUND);
    EXPECT_TRUE(system.keyboard.acquired);
    EXPECT_EQ(system.enumerations, 1);
    EXPECT_EQ(input.m_pJoystick.load(), nullptr);
    EXPECT_EQ(Tick(), 0u);
    EXPECT_TRUE(window.messageBoxes.empty());
}

TEST_F(InputTest, KeyboardFailuresShowTheMessageAndDestroyTheWindow)
{
    system.createKeyboardResult = E_FAIL;
    EXPECT_FALSE(input.Init(&window, &instance));
    ASSERT_EQ(window.messageBoxes, std::vector<std::string>{"ERROR: DirectInput Init FAILED"});
    EXPECT_TRUE(window.destroyed);

    CFakeInputSystem refusing;
    refusing.keyboard.cooperativeResult = E_FAIL;
    instance.pInputSystem = &refusing;
    CFakeWindow second;
    CInput other;
    EXPECT_FALSE(other.Init(&second, &instance));
    EXPECT_EQ(second.messageBoxes.size(), 1u);
    EXPECT_TRUE(second.destroyed);
    EXPECT_TRUE(refusing.keyboard.released);
    EXPECT_EQ(other.m_pKeyboard, nullptr);
    EXPECT_EQ(refusing.enumerations, 0);
}

TEST_F(InputTest, WithoutAnInputSystemNothingIsReadAndNothingIsShown)
{
    instance.pInputSystem = nullptr;
    EXPECT_FALSE(input.Init(&window, &instance));
    EXPECT_TRUE(window.messageBoxes.empty());
    EXPECT_FALSE(window.destroyed);
    g_keyState[DIK_SPACE] = 0x80;
    input.Acquire();
    EXPECT_EQ(Tick(), 0u);
    EXPECT_EQ(g_keyState[DIK_SPACE], 0x80) << "a test's key must survive the poll";
}

TEST_F(InputTest, EachGameKeySetsItsBitAndOppositeKeysSetBoth)
{
    ASSERT_TRUE(input.Init(&window, &instance));
    const std::pair<uint8_t, uint32_t> keys[] = {{DIK_LEFT, INPUT_LEFT},
                                                 {DIK_RIGHT, INPUT_RIGHT},
                                                 {DIK_UP, INPUT_UP},
                                                 {DIK_DOWN, INPUT_DOWN},
                                                 {DIK_LCONTROL, INPUT_FIRE}};
    for (const auto& [key, bit] : keys) {
        system.keyboard.SetKey(key, true);
        EXPECT_EQ(Tick(), bit) << "key " << int(key);
        system.keyboard.SetKey(key, false);
    }
    system.keyboard.SetKey(DIK_LEFT, true);
    system.keyboard.SetKey(DIK_RIGHT, true);
    EXPECT_EQ(Tick(), INPUT_LEFT | INPUT_RIGHT);
}

TEST_F(InputTest, OtherKeysSetNoBitButReachTheKeyState)
{
    ASSERT_TRUE(input.Init(&window, &instance));
    system.keyboard.SetKey(DIK_RCONTROL, true);
    system.keyboard.SetKey(DIK_SPACE, true);
    system.keyboard.keys[DIK_LEFT] = 0x7F;  // only bit 7 means down
    EXPECT_EQ(Tick(), 0u);
    EXPECT_EQ(g_keyState[DIK_SPACE], 0x80);
    EXPECT_EQ(g_keyState[DIK_RCONTROL], 0x80);
}

TEST_F(InputTest, AnUnacquiredKeyboardSetsNoBitsAndKeepsTheLastKeyState)
{
    ASSERT_TRUE(input.Init(&window, &instance));
    system.keyboard.SetKey(DIK_SPACE, true);
    Tick();
    system.OnForegroundLost();
    system.keyboard.SetKey(DIK_SPACE, false);
    system.keyboard.SetKey(DIK_LEFT, true);
    for (int tick = 0; tick < 3; ++tick) EXPECT_EQ(Tick(), 0u);
    EXPECT_EQ(g_keyState[DIK_SPACE], 0x80);
    EXPECT_EQ(g_keyState[DIK_LEFT], 0x00);

    input.Acquire();
    EXPECT_EQ(Tick(), INPUT_LEFT);
    EXPECT_EQ(g_keyState[DIK_SPACE], 0x00);
}

TEST_F(InputTest, TheFirstJoystickThatOpensGetsTheRangeAndDeadZone)
{
    CFakeJoystick& broken = system.PlugIn();
    broken.createResult = E_FAIL;
    CFakeJoystick& busy = system.PlugIn();
    busy.cooperativeResult = E_FAIL;
    CFakeJoystick& good = system.PlugIn();
    ASSERT_TRUE(input.Init(&window, &instance));

    EXPECT_TRUE(busy.released);
    EXPECT_EQ(input.m_pJoystick.load(), &good);
    EXPECT_TRUE(good.acquired);
    EXPECT_EQ(good.cooperativeFlags, DISCL_NONEXCLUSIVE | DISCL_FOREGROUND);
    ASSERT_EQ(good.ranges.size(), 2u);
    EXPECT_EQ(good.ranges[0].axis, DIJOFS_X);
    EXPECT_EQ(good.ranges[1].axis, DIJOFS_Y);
    for (const auto& range : good.ranges) {
        EXPECT_EQ(range.min, -1000);
        EXPECT_EQ(range.max, 1000);
    }
    ASSERT_EQ(good.deadZones.size(), 2u);
    EXPECT_EQ(good.deadZones[0].axis, DIJOFS_X);
    EXPECT_EQ(good.deadZones[1].axis, DIJOFS_Y);
    EXPECT_EQ(good.deadZones[0].value, 5000u);
    EXPECT_EQ(good.deadZones[1].value, 5000u);
}

TEST_F(InputTest, AJoystickRefusingItsPropertiesLeavesTheGameWithoutAny)
{
    CFakeJoystick& refusing = system.PlugIn();
    refusing.propertyResult = E_INVALIDARG;
    system.PlugIn();
    ASSERT_TRUE(input.Init(&window, &instance));
    EXPECT_EQ(input.m_pJoystick.load(), nullptr);
    EXPECT_TRUE(refusing.released);
    EXPECT_EQ(system.JoysticksCreated(), 1);
}

TEST_F(InputTest, JoystickDirectionsAndButtonZeroAddToTheKeyboard)
{
    CFakeJoystick& joystick = system.PlugIn();
    ASSERT_TRUE(input.Init(&window, &instance));
    joystick.SetAxes(-1, 0);
    EXPECT_EQ(Tick(), INPUT_LEFT);
    joystick.SetAxes(1000, -1000);
    EXPECT_EQ(Tick(), INPUT_RIGHT | INPUT_UP);
    joystick.SetAxes(0, 3);
    EXPECT_EQ(Tick(), INPUT_DOWN);
    joystick.SetAxes(0, 0);
    joystick.SetButton(1, true);
    EXPECT_EQ(Tick(), 0u);
    joystick.SetButton(0, true);
    system.keyboard.SetKey(DIK_RIGHT, true);
    joystick.SetAxes(-500, 0);
    EXPECT_EQ(Tick(), INPUT_FIRE | INPUT_LEFT | INPUT_RIGHT);
    EXPECT_GE(joystick.polls, 5);
}

TEST_F(InputTest, AJoystickPluggedInLaterIsPickedUpAtTheNextAcquire)
{
    ASSERT_TRUE(input.Init(&window, &instance));
    CFakeJoystick& joystick = system.PlugIn();
    joystick.SetAxes(0, 700);
    EXPECT_EQ(Tick(), 0u);
    input.Acquire();
    EXPECT_EQ(Tick(), INPUT_DOWN);
    input.Acquire();
    EXPECT_EQ(system.JoysticksCreated(), 1) << "an attached joystick is kept, not reopened";
}

TEST_F(InputTest, AnUnpluggedJoystickReadsNothingAndIsReplacedAtTheNextAcquire)
{
    CFakeJoystick& first = system.PlugIn();
    ASSERT_TRUE(input.Init(&window, &instance));
    first.SetAxes(-1000, 0);
    first.unplugged = true;
    system.keyboard.SetKey(DIK_UP, true);
    EXPECT_EQ(Tick(), INPUT_UP);

    CFakeJoystick& second = system.PlugIn();
    second.SetButton(0, true);
    input.Acquire();
    EXPECT_TRUE(first.released);
    EXPECT_EQ(input.m_pJoystick.load(), &second);
    EXPECT_EQ(Tick(), INPUT_UP | INPUT_FIRE);
}

TEST_F(InputTest, ReleaseDevicesLetsGoOfEverythingAndLaterCallsDoNothing)
{
    CFakeJoystick& joystick = system.PlugIn();
    ASSERT_TRUE(input.Init(&window, &instance));
    input.ReleaseDevices();
    EXPECT_TRUE(system.keyboard.released);
    EXPECT_FALSE(system.keyboard.acquired);
    EXPECT_TRUE(joystick.released);
    EXPECT_EQ(input.m_pKeyboard, nullptr);
    EXPECT_EQ(input.m_pJoystick.load(), nullptr);
    EXPECT_EQ(input.m_pDI, nullptr);

    const int enumerations = system.enumerations;
    input.Acquire();
    EXPECT_EQ(system.enumerations, enumerations);
    g_keyState[DIK_LEFT] = 0x80;
    EXPECT_EQ(Tick(), 0u);
    EXPECT_EQ(g_keyState[DIK_LEFT], 0x80);
}

TEST(NullInputSystemTest, KeyboardReadsNoKeysOnlyWhileAcquiredAndThereIsNoJoystick)
{
    CNullInputSystem system;
    CFakeWindow window;
    PlatformInstance instance;
    instance.pInputSystem = &system;
    CInput input;
    ASSERT_TRUE(input.Init(&window, &instance));
    EXPECT_EQ(input.m_pJoystick.load(), nullptr);
    std::memset(g_keyState, 0x80, sizeof g_keyState);
    input.PollKeyboard();
    EXPECT_EQ(g_keyState[DIK_LEFT], 0);

    g_keyState[DIK_LEFT] = 0x80;
    system.OnForegroundLost();
    input.PollKeyboard();
    EXPECT_EQ(g_keyState[DIK_LEFT], 0x80);
    input.ReleaseDevices();
}

}  // namespace
