#include <gtest/gtest.h>

#include <cstring>

#include "input/Input.h"
#include "platform/PlatformInstance.h"
#include "platform/sdl/SdlJoystick.h"
#include "platform/sdl/SdlVirtualJoystick.h"
#include "platform/x11/DesktopInputSystem.h"
#include "tests/fakes/FakeWindow.h"

namespace {

constexpr int16_t kHalfDeflection = 16384;  // half of SDL's range, the dead zone's edge

class SdlJoystickTest : public testing::Test {
protected:
    SdlJoystickTest() { instance.pInputSystem = &system; }
    ~SdlJoystickTest() override { input.ReleaseDevices(); }

    uint32_t Tick()
    {
        g_dwInput = 0;
        input.PollJoystick();
        return g_dwInput;
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

TEST_F(SdlJoystickTest, AJoystickPluggedInLaterIsReadAfterTheNextAcquire)
{
    ASSERT_TRUE(input.Init(&window, &instance));
    EXPECT_EQ(input.m_pJoystick.load(), nullptr);
    CSdlVirtualJoystick stick(2, 1);
    stick.SetButton(0, true);
    EXPECT_EQ(Tick(), 0u);
    input.Acquire();
    EXPECT_EQ(Tick(), INPUT_FIRE);

    stick.Unplug();
    EXPECT_EQ(Tick(), 0u);
    input.Acquire();
    EXPECT_EQ(input.m_pJoystick.load(), nullptr);
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

}  // namespace
