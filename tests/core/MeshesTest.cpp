#include <gtest/gtest.h>

#include <cmath>

#include "game/Globals.h"
#include "platform/PrimarySurface.h"
#include "platform/Surface.h"
#include "render/Display.h"
#include "render/Meshes.h"
#include "tests/fakes/FakeWindow.h"
#include "tests/fakes/MeshReset.h"
#include "tests/fakes/RecordingDevice3D.h"

namespace {

class MeshesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        display.m_pDevice = &device;
        g_pDisplay = &display;
        BuildMeshTemplates();
    }
    void TearDown() override
    {
        ForgetMeshTemplates();
        g_pDisplay = nullptr;
    }

    const D3DMATERIAL& Material(const MESHTEMPLATE& mesh)
    {
        D3DMATERIALHANDLE handle = 0;
        mesh.pMaterial->GetHandle(&device, &handle);
        return device.materials.at(handle - 1);
    }

    CRecordingDevice3D device;
    CDisplay display;
};

void ExpectVertex(const MESHTEMPLATE& mesh, int i, float x, float y, float z)
{
    EXPECT_EQ(mesh.vertices[i].x, x) << i;
    EXPECT_EQ(mesh.vertices[i].y, y) << i;
    EXPECT_EQ(mesh.vertices[i].z, z) << i;
}

TEST_F(MeshesTest, EveryTemplateHasItsCountsAndItsOwnMaterialColour)
{
    struct Expected {
        const MESHTEMPLATE* mesh;
        int vertices, indices;
        float r, g, b;
        bool lit;
    } expected[] = {
        {&g_meshTitleShip, 5, 18, 0.4f, 0, 0.4f, true},  {&g_meshEnemyShot, 12, 12, 0, 0.4f, 0.6f, true},
        {&g_meshEnemy, 24, 24, 0.3f, 0.3f, 0, true},     {&g_meshExplosion, 12, 12, 0.5f, 0, 0, true},
        {&g_meshPlayerShip, 5, 18, 0.4f, 0, 0.4f, true}, {&g_meshLaser, 2, 2, 0, 1, 0, false},
        {&g_meshTrack, 168, 472, 0, 0, 1, false},
    };
    EXPECT_EQ(device.materials.size(), 7u);
    for (const Expected& e : expected) {
        EXPECT_EQ(e.mesh->nVertices, e.vertices);
        EXPECT_EQ(e.mesh->nIndices, e.indices);
        ASSERT_NE(e.mesh->pMaterial, nullptr);
        const D3DMATERIAL& m = Material(*e.mesh);
        EXPECT_EQ(m.dcvAmbient.r, e.r);
        EXPECT_EQ(m.dcvAmbient.g, e.g);
        EXPECT_EQ(m.dcvAmbient.b, e.b);
        EXPECT_EQ(m.dcvAmbient.a, e.lit ? 1.0f : 0.0f);
        EXPECT_EQ(m.dcvDiffuse.r, e.lit ? 1.0f : 0.0f);
        EXPECT_EQ(m.dvPower, e.lit ? 1.0f : 0.0f);
        EXPECT_EQ(m.dwRampSize, e.lit ? 16u : 0u);
    }
    EXPECT_NE(g_meshExplosion.pMaterial, g_meshEnemyShot.pMaterial);
}

TEST_F(MeshesTest, NormalsPointFromTheOriginAndBladeCentresFaceMinusZ)
{
    const D3DVERTEX& nose = g_meshPlayerShip.vertices[4];
    EXPECT_FLOAT_EQ(nose.nz, -1.0f);
    const D3DVERTEX& wing = g_meshPlayerShip.vertices[2];  // (-30, 0, 20)
    EXPECT_NEAR(wing.nx, -30 / std::sqrt(1300.0f), 1e-6f);
    EXPECT_NEAR(wing.nz, 20 / std::sqrt(1300.0f), 1e-6f);
    for (const int centre : {2, 5, 8, 11}) {
        const D3DVERTEX& v = g_meshExplosion.vertices[centre];
        EXPECT_EQ(v.nx * 100 + v.ny * 10 + v.nz, -1.0f) << centre;
    }
    ExpectVertex(g_meshEnemy, 12, 0, -20, 0);
    ExpectVertex(g_meshEnemy, 14, 20, 0, 20);
    EXPECT_EQ(g_meshEnemy.indices[12], 14);
    EXPECT_EQ(g_meshEnemyShot.indices[3], 5);
    // Line meshes get positions only.
    EXPECT_EQ(g_meshLaser.vertices[1].z, -20.0f);
    EXPECT_EQ(g_meshTrack.vertices[0].nx + g_meshTrack.vertices[0].ny + g_meshTrack.vertices[0].nz, 0.0f);
}

TEST_F(MeshesTest, TheTrackIsTwentyFourProfilesJoinedAtWallTopsAndFloorCorners)
{
    ExpectVertex(g_meshTrack, 0, 380, 240, 0);
    ExpectVertex(g_meshTrack, 167, -380, 240, -9200);
    ExpectVertex(g_meshTrack, 7 * 5 + 2, 180, 0, -2000);
    const uint16_t* const idx = g_meshTrack.indices;
    EXPECT_EQ(idx[286] * 1000 + idx[287], 166 * 1000 + 167);  // last profile segment
    const uint16_t firstJoins[] = {0, 7, 6, 13, 1, 8, 5, 12};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(idx[288 + i], firstJoins[i]) << i;
    const uint16_t lastJoins[] = {154, 161, 160, 167, 155, 162, 159, 166};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(idx[464 + i], lastJoins[i]) << i;
    for (int i = 288; i < 472; i += 2) EXPECT_LT(idx[i], 161) << "no join leaves the last profile";
}

TEST_F(MeshesTest, BuildersTakeTheirCountsLiterally)
{
    const float floats[] = {1, 2, 3, 4, 5, 6, 7};
    const uint16_t indices[] = {1, 0, 1};
    MESHTEMPLATE mesh;
    mesh.indices[3] = 77;
    BuildMesh(mesh, floats, 7, indices, 3, 0, 0, 0);
    EXPECT_EQ(mesh.nVertices, 2);
    EXPECT_EQ(mesh.nIndices, 3);
    EXPECT_EQ(mesh.indices[2], 1);
    EXPECT_EQ(mesh.indices[3], 0);  // the whole record is replaced
    EXPECT_EQ(mesh.vertices[2].x, 0.0f);
    BuildLineMesh(mesh, floats, 2, indices, 0, 0, 0, 0);
    EXPECT_EQ(mesh.nVertices, 0);
    EXPECT_EQ(mesh.nIndices, 0);
}

// The templates drawn by the real device from the game's camera: catches a flipped axis or
// culling the wrong way round, which would hide the ship or show its underside.
TEST(MeshesSceneTest, TheShipAndTrackShowFromTheGameCamera)
{
    struct NullPrimary final : IPrimarySurface {
        HRESULT Blt(const RECT&, const CSurface&, const RECT&) override { return S_OK; }
    } primary;
    CFakeWindow window;
    window.primary = &primary;
    CDisplay display;
    ASSERT_TRUE(display.Init(&window));  // no title loader: one message, still up
    g_pDisplay = &display;
    BuildMeshTemplates();
    IDevice3D* const device = display.m_pDevice;
    Matrix4 projection;
    display.BuildProjectionMatrix(&projection, 0.75f, 0.75f, 100, -100);
    device->SetTransform(D3DTRANSFORMSTATE_PROJECTION, projection);
    device->SetTransform(D3DTRANSFORMSTATE_VIEW, MatLookAt({0, 200, 1000}, {0, 0, 0}, {0, 1, 0}, 0));
    const auto draw = [&](const MESHTEMPLATE& mesh, D3DPRIMITIVETYPE type, const Matrix4& world) {
        device->SetTransform(D3DTRANSFORMSTATE_WORLD, world);
        D3DMATERIALHANDLE handle = 0;
        mesh.pMaterial->GetHandle(device, &handle);
        device->SetLightState(D3DLIGHTSTATE_MATERIAL, handle);
        device->DrawIndexedPrimitive(type, D3DFVF_VERTEX, mesh.vertices, mesh.nVertices, mesh.indices,
                                     mesh.nIndices, 0);
    };
    draw(g_meshTrack, D3DPT_LINELIST, MatTranslate({0, 0, 500}));
    draw(g_meshPlayerShip, D3DPT_TRIANGLELIST, MatTranslate({0, 20, 500}));
    const CSurface& back = *display.m_pddsBack;
    int ship = 0, track = 0, shipTop = 480;
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x) {
            const uint32_t p = back.Pixel(x, y) & 0xFFFFFF;
            if (p == 0x0000FF) ++track;
            if ((p >> 16) > 0x40 && (p & 0xFF) > 0x40 && ((p >> 8) & 0xFF) < (p >> 16)) ++ship, shipTop = std::min(shipTop, y);
        }
    EXPECT_GT(track, 2000);
    EXPECT_GT(ship, 300);
    EXPECT_GT(shipTop, 240) << "the ship sits below the camera, in the lower half";
    ForgetMeshTemplates();
    display.ReleaseObjects();
    g_pDisplay = nullptr;
}

}  // namespace
