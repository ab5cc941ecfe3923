#include "tools/scene/BusyScene.h"

#include <cstdlib>

#include "game/Game.h"
#include "game/Globals.h"
#include "game/PlayState.h"
#include "objects/Enemy.h"
#include "objects/EnemyShot.h"
#include "objects/Explosion.h"
#include "objects/ObjectTable.h"
#include "objects/PlayerShip.h"
#include "objects/PlayerShot.h"
#include "objects/TitleShip.h"
#include "objects/Track.h"
#include "platform/Device3D.h"
#include "platform/Surface.h"
#include "render/Camera.h"
#include "render/Meshes.h"
#include "tests/fakes/MeshReset.h"

CBusyScene::CBusyScene(DisplayDevices devices, Scene scene, int32_t scale) : m_display(std::move(devices))
{
    m_window.primary = &m_primary;
    m_window.clientRect = {0, 0, 640 * scale, 480 * scale};
    if (!m_display.Init(&m_window)) std::abort();
    m_display.SetScale(scale);
    g_pDisplay = &m_display;
    g_pD3DDevice = m_display.m_pDevice;
    g_pViewport = m_display.m_pViewport;
    BuildMeshTemplates();
    Matrix4 projection;
    m_display.BuildProjectionMatrix(&projection, 0.75f, 0.75f, 100.0f, -100.0f);
    g_pD3DDevice->SetTransform(D3DTRANSFORMSTATE_PROJECTION, projection);
    // Again, now on this display's device: the world set the view on its own.
    ResetCamera();
    Show(scene);
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

void CBusyScene::Show(Scene scene)
{
    EmptyObjectTable();
    m_scene = scene;
    if (scene == Scene::Title)
        PopulateTitle();
    else
        PopulatePlay(scene == Scene::Play);
}

void CBusyScene::PopulateTitle()
{
    auto* const track = new CTrack;
    for (int i = 0; i < 7; ++i) track->Update();
    AddScenery(track);
    auto* const ship = new CTitleShip(0, 100, 600);
    for (int i = 0; i < 40; ++i) ship->Update();  // tumbled out of its first, flat pose
    AddEnemy(ship);
}

void CBusyScene::PopulatePlay(bool withShip)
{
    AddScenery(new CTrack);
    if (withShip) {
        auto* const ship = new CPlayerShip;
        ship->m_nSafeTicks = 0;  // not blinking: drawn in every frame
        AddPlayer(ship);
    }
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
    if (m_scene == Scene::Title) {
        m_display.BltBitmap(m_display.m_pddsTitle, back, DDBLTFAST_SRCCOLORKEY, 170, 20);
        m_display.PrintText(back, 220, 150, "written by Marvesto");
        m_display.PrintText(back, 250, 380, "press SPACE to start");
        return;
    }
    const bool over = m_scene == Scene::GameOver;
    m_display.PrintText(back, 40, 10, over ? "Score: 001500" : "Score: 012500");
    m_display.PrintText(back, 300, 10, over ? "Lives: 0" : "Lives: 3");
    m_display.PrintText(back, 520, 10, "Stage: 04");
    if (over) m_display.PrintText(back, 284, 200, "Game Over");
}

void CBusyScene::Clear()
{
    const D3DRECT rect{0, 0, m_display.m_nWidth, m_display.m_nHeight};
    g_pViewport->Clear2(1, &rect, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
}
