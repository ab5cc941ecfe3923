#include "tests/fakes/GameHarness.h"

#include "game/Globals.h"
#include "input/Input.h"
#include "objects/GameObject.h"
#include "objects/ObjectTable.h"
#include "render/Camera.h"
#include "sound/Sound.h"
#include "tests/fakes/MeshReset.h"

CGameHarness::CGameHarness(IMultimediaTimer* customTimer)
{
    display.m_pDevice = &device;
    display.m_pViewport = device.Viewport();
    display.m_pddsBack = &backBuffer;
    display.m_pTextPainter = &painter;
    display.m_nWidth = 640;
    display.m_nHeight = 480;
    display.m_hWnd = &window;
    instance.pTimer = customTimer != nullptr ? customTimer : &timer;
    for (uint8_t& key : g_keyState) key = 0;
    game = std::make_unique<CGame>(&instance, &window, &display);
}

CGameHarness::~CGameHarness()
{
    if (game) Shutdown();
    ForgetMeshTemplates();  // their materials die with this harness's device
}

void CGameHarness::Start()
{
    // Before the timer starts: a tick must never find g_pSound being replaced. data/ holds
    // no effects, so the loads in Start leave these buffers where they are.
    InstallRecordingSound(sound);
    game->Start();
}

void CGameHarness::Shutdown()
{
    game->Shutdown();
    game.reset();
    g_pGame = nullptr;
}

void CGameHarness::SetKey(int key, bool down)
{
    g_keyState[key] = down ? 0x80 : 0x00;
}

std::vector<CRecordingTextPainter::Text> CGameHarness::PaintTexts()
{
    painter.Take();
    game->Paint();
    return painter.Take();
}

CObjectWorld::CObjectWorld()
{
    FillSinTable();
    g_pD3DDevice = &device;
    g_pCamera = new CCamera;
    g_pCamera->SetView(0, 200, 1000, 0, 0, 0, 0, 1, 0, 0);
    g_pSound = nullptr;
    InstallRecordingSound(sound);
    g_dwInput = 0;
    g_nScore = 0;
    g_nLives = 3;
    EmptyObjectTable();
}

CObjectWorld::~CObjectWorld()
{
    EmptyObjectTable();
    delete g_pCamera;
    g_pCamera = nullptr;
    delete g_pSound;
    g_pSound = nullptr;
    g_pD3DDevice = nullptr;
}

void EmptyObjectTable()
{
    for (CGameObject*& slot : g_objects) {
        delete slot;
        slot = nullptr;
    }
    g_ppPlayer = nullptr;
}

int CountObjects(int first, int last)
{
    int n = 0;
    for (int i = first; i <= last; ++i) n += g_objects[i] != nullptr;
    return n;
}
