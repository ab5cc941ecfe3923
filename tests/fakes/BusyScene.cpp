#include "tests/fakes/BusyScene.h"

#include <cstdlib>

#include "game/Game.h"
#include "game/Globals.h"
#include "objects/Enemy.h"
#include "objects/EnemyShot.h"
#include "objects/Explosion.h"
#include "objects/ObjectTable.h"
#include "objects/PlayerShip.h"
#include "objects/PlayerShot.h"
#include "objects/Track.h"
#include "platform/Device3D.h"
#include "render/Camera.h"
#include "render/Meshes.h"
#include "tests/fakes/MeshReset.h"

CBusyScene::CBusyScene(DisplayDevices devices) : m_display(std::move(devices))
{
    m_window.primary = &m_primary;
    if (!m_display.Init(&m_window)) std::abort();
    g_pDisplay = &m_display;
    g_pD3DDevice = m_display.m_pDevice;
    g_pViewport = m_display.m_pViewport;
    BuildMeshTemplates();
    Matrix4 projection;
    m_display.BuildProjectionMatrix(&projection, 0.75f, 0.75f, 100.0f, -100.0f);
    g_pD3DDevice->SetTransform(D3DTRANSFORMSTATE_PROJECTION, projection);
    g_pCamera->SetView(0, 200, 1000, 0, 0, 0, 0, 1, 0, 0);
    Populate();
}

CBusyScene::~CBusyScene()
{
    EmptyObjectTable();
    ForgetMeshTemplates();
    g_pD3DDevice = nullptr;
    g_pViewport = nullptr;
    g_pDisplay = nullptr;
    m_display.ReleaseObjects();
}

void CBusyScene::Populate()
{
    AddScenery(new CTrack);
    auto* const ship = new CPlayerShip;
    ship->m_nSafeTicks = 0;  // not blinking: drawn in every frame
    AddPlayer(ship);
    for (int i = 0; i < 21; ++i)
        AddEnemy(new CEnemy(0, 0, -4000.0f + 200.0f * float(i), (i * 37 + 11) % 360, (i * 53 + 7) % 360, 1, 2));
    for (int i = 0; i < 4; ++i) AddPlayerShot(new CPlayerShot(0, 20, 400.0f - 250.0f * float(i)));
    for (int i = 0; i < 5; ++i) AddEnemyShot(new CEnemyShot(-120.0f + 60.0f * float(i), 60, -600.0f + 200.0f * float(i)));
    for (int i = 0; i < 8; ++i) {
        auto* const explosion = new CExplosion(-210.0f + 60.0f * float(i), 80.0f + 15.0f * float(i % 3), -200.0f * float(i));
        for (int age = 0; age < i; ++age) explosion->Update();
        AddExplosion(explosion);
    }
}

void CBusyScene::Paint()
{
    RenderScene();
    CSurface* const back = m_display.m_pddsBack;
    m_display.PrintText(back, 40, 10, "Score: 012500");
    m_display.PrintText(back, 300, 10, "Lives: 3");
    m_display.PrintText(back, 520, 10, "Stage: 04");
}

void CBusyScene::Clear()
{
    const D3DRECT rect{0, 0, m_display.m_nWidth, m_display.m_nHeight};
    g_pViewport->Clear2(1, &rect, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
}
