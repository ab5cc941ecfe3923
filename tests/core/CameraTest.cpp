#include <gtest/gtest.h>

#include <cmath>

#include "game/Globals.h"
#include "render/Camera.h"
#include "tests/fakes/RecordingDevice3D.h"

namespace {

class CameraTest : public ::testing::Test {
protected:
    void SetUp() override { g_pD3DDevice = &device; }
    void TearDown() override { g_pD3DDevice = nullptr; }
    CRecordingDevice3D device;
    CCamera camera;
};

}  // namespace

TEST_F(CameraTest, GamePlacementSetsTheWorkedViewOnTheDevice)
{
    camera.SetView(0, 200, 1000, 0, 0, 0, 0, 1, 0, 0);
    EXPECT_NEAR(device.view.m[0][0], -1, 1e-5f);
    EXPECT_NEAR(device.view.m[1][1], 0.98058f, 1e-5f);
    EXPECT_NEAR(device.view.m[2][2], -0.98058f, 1e-5f);
    EXPECT_NEAR(device.view.m[3][2], 1019.80f, 0.01f);
    EXPECT_EQ(device.view.m[3][3], 1.0f);
}

TEST_F(CameraTest, RollTurnsTheWorldBeforeTheLookAt)
{
    camera.SetView(0, 200, 1000, 0, 0, 0, 0, 1, 0, 0);
    const Matrix4 look = camera.m_matView;
    const float t = 0.3f;
    camera.m_fRoll = t;
    camera.Refresh();
    const Matrix4& v = device.view;
    for (int c = 0; c < 4; ++c) {
        EXPECT_NEAR(v.m[0][c], std::cos(t) * look.m[0][c] - std::sin(t) * look.m[1][c], 1e-5f);
        EXPECT_NEAR(v.m[3][c], look.m[3][c], 1e-5f);
    }
}

TEST_F(CameraTest, RefreshWithoutChangeSetsTheSameMatrixAgain)
{
    camera.SetView(10, 220, 900, 0, 0, 0, 0, 1, 0, 0.1f);
    const Matrix4 first = device.view;
    camera.Refresh();
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) EXPECT_EQ(device.view.m[r][c], first.m[r][c]);
}
