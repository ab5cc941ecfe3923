#include "tests/fakes/GameHarness.h"

#include <mutex>
#include <stdexcept>
#include <string>

#include "game/Globals.h"
#include "game/PlayState.h"
#include "input/Input.h"
#include "objects/GameObject.h"
#include "objects/ObjectTable.h"
#include "render/Camera.h"
#include "sound/Sound.h"
#include "tests/fakes/MeshReset.h"

namespace {

// A small title picture, keyed black at its left column, grey elsewhere.
CSurface TitlePicture()
{
    CSurface picture(30, 10);
    picture.FillRect({1, 0, 30, 10}, 0x808080u);
    return picture;
}

}  // namespace

CGameHarness::CGameHarness(IMultimediaTimer* customTimer)
    : m_madeDevice(std::make_unique<CRecordingDevice3D>()), device(*m_madeDevice), display(Devices())
{
    window.primary = &primary;
    loader.pictures.emplace(kTitleBitmap, TitlePicture());
    if (!display.Init(&window)) {
        std::string boxes;
        for (const std::string& box : window.messageBoxes) boxes += " [" + box + "]";
        throw std::runtime_error("CGameHarness: CDisplay::Init failed:" + boxes);
    }
    instance.pTimer = customTimer != nullptr ? customTimer : &timer;
    for (uint8_t& key : g_keyState) key = 0;
    game = std::make_unique<CGame>(&instance, &window, &display);
}

DisplayDevices CGameHarness::Devices()
{
    DisplayDevices devices;
    // A second call finds nothing left to hand over, which fails that display's Init.
    devices.makeDevice = [this](CSurface&, CDepthBuffer&) -> std::unique_ptr<IDevice3D> {
        return std::move(m_madeDevice);
    };
    devices.pTextPainter = &painter;
    devices.pBitmapLoader = &loader;
    return devices;
}

CGameHarness::~CGameHarness()
{
    if (game) Shutdown();
    display.ReleaseObjects();
    ForgetMeshTemplates();  // their materials died with the display's device
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
    {
        std::lock_guard<std::mutex> lock(g_lock);  // as ResetCamera asks, though no other thread runs
        ResetCamera();
    }
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
