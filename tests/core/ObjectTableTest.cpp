#include <gtest/gtest.h>

#include <cmath>

#include "game/Globals.h"
#include "objects/GameObject.h"
#include "objects/ObjectTable.h"
#include "render/Meshes.h"
#include "tests/fakes/GameHarness.h"

namespace {

int g_destroyed = 0;

class CProbe : public CGameObject {
public:
    explicit CProbe(Vector3 pos = {}) : CGameObject(g_meshEnemy, pos, 1.0f) {}
    ~CProbe() override { ++g_destroyed; }
    using CGameObject::DrawMesh;
    using CGameObject::Rotate;
};

class ObjectTableTest : public ::testing::Test {
protected:
    void SetUp() override { g_destroyed = 0; }
    CObjectWorld world;
};

}  // namespace

TEST_F(ObjectTableTest, SineTableHoldsWholeDegreesWithRoomForCosines)
{
    EXPECT_EQ(g_sinTable[0], 0.0);
    EXPECT_EQ(g_sinTable[90], 1.0);
    EXPECT_DOUBLE_EQ(g_sinTable[449], std::sin(449 * M_PI / 180));
    EXPECT_EQ(SinDeg(90), 1.0);
    EXPECT_EQ(CosDeg(0), 1.0);
    EXPECT_EQ(CosDeg(359), g_sinTable[449]);
}

TEST_F(ObjectTableTest, FullRangeDeletesTheNewcomerAndReportsIt)
{
    for (int i = 0; i < 5; ++i) EXPECT_TRUE(AddEnemyShot(new CProbe));
    EXPECT_FALSE(AddEnemyShot(new CProbe));
    EXPECT_EQ(g_destroyed, 1);
    for (int slot = 27; slot <= 31; ++slot) EXPECT_NE(g_objects[slot], nullptr);
    EXPECT_EQ(g_objects[32], nullptr);
}

TEST_F(ObjectTableTest, EachAddFillsTheFirstFreeSlotOfItsOwnRange)
{
    EXPECT_TRUE(AddScenery(new CProbe));
    EXPECT_TRUE(AddEnemy(new CProbe));
    EXPECT_TRUE(AddPlayerShot(new CProbe));
    EXPECT_TRUE(AddExplosion(new CProbe));
    EXPECT_NE(g_objects[0], nullptr);
    EXPECT_NE(g_objects[2], nullptr);
    EXPECT_NE(g_objects[23], nullptr);
    EXPECT_NE(g_objects[32], nullptr);
    delete g_objects[2];
    g_objects[2] = nullptr;
    EXPECT_TRUE(AddEnemy(new CProbe));
    EXPECT_NE(g_objects[2], nullptr);
    EXPECT_EQ(g_objects[3], nullptr);
    EXPECT_EQ(g_destroyed, 1);
}

TEST_F(ObjectTableTest, AddPlayerOnAnOccupiedSlotKeepsTheShipThatIsThere)
{
    CProbe* first = new CProbe;
    EXPECT_TRUE(AddPlayer(first));
    CGameObject** const player = g_ppPlayer;
    EXPECT_EQ(player, &g_objects[1]);
    EXPECT_FALSE(AddPlayer(new CProbe));
    EXPECT_EQ(g_destroyed, 1);
    EXPECT_EQ(g_objects[1], first);
    EXPECT_EQ(g_ppPlayer, player);
    EXPECT_FALSE(AddScenery(new CProbe) && AddScenery(new CProbe));
}

TEST_F(ObjectTableTest, BoxTestIsInclusiveAt24OnEveryAxis)
{
    const float beyond = std::nextafter(24.0f, 100.0f);
    const Vector3 offsets[] = {{24, 0, 0}, {0, 24, 0}, {0, 0, 24}};
    for (const Vector3& edge : offsets) {
        EmptyObjectTable();
        CProbe o({0, 0, 0});
        AddEnemy(new CProbe(edge));
        EXPECT_TRUE(HitsEnemy(o));
        g_objects[2]->m_vPos = {edge.x ? beyond : 0, edge.y ? beyond : 0, edge.z ? beyond : 0};
        EXPECT_FALSE(HitsEnemy(o));
        // Roles swapped: the tested object on the far side.
        CProbe far({-edge.x, -edge.y, -edge.z});
        g_objects[2]->m_vPos = {0, 0, 0};
        EXPECT_TRUE(HitsEnemy(far));
    }
}

TEST_F(ObjectTableTest, EachTestLooksOnlyAtItsOwnRange)
{
    CProbe o;
    EXPECT_FALSE(HitsEnemy(o));
    EXPECT_FALSE(HitsPlayerShot(o));
    EXPECT_FALSE(HitsEnemyShot(o));
    AddPlayerShot(new CProbe);
    EXPECT_TRUE(HitsPlayerShot(o));
    EXPECT_FALSE(HitsEnemy(o));
    EXPECT_FALSE(HitsEnemyShot(o));
}

TEST_F(ObjectTableTest, DrawComposesZThenYThenXThenScaleThenMove)
{
    CProbe o({10, 20, 30});
    o.m_vScale = {2, 2, 2};
    o.Rotate(0.5f, 0.25f, 0.125f);
    o.Rotate(0.5f, 0.25f, 0.125f);
    o.DrawMesh(D3DPT_TRIANGLELIST);
    Matrix4 expected = MatRotateZ(0.25f);
    expected = MatMultiply(MatRotateY(0.5f), expected);
    expected = MatMultiply(MatRotateX(1.0f), expected);
    expected = MatMultiply(MatScale({2, 2, 2}), expected);
    expected = MatMultiply(MatTranslate({10, 20, 30}), expected);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) EXPECT_NEAR(world.device.world.m[r][c], expected.m[r][c], 1e-4f);
    ASSERT_EQ(world.device.draws.size(), 1u);
    EXPECT_EQ(world.device.draws[0].type, D3DPT_TRIANGLELIST);
}
