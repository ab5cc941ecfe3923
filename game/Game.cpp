#include "game/Game.h"

#include "game/Globals.h"
#include "game/PendingHighScore.h"
#include "game/PlayState.h"
#include "game/TitleState.h"
#include "input/Input.h"
#include "objects/GameObject.h"
#include "objects/ObjectTable.h"
#include "platform/Device3D.h"
#include "platform/MultimediaTimer.h"
#include "platform/PlatformInstance.h"
#include "platform/TextPainter.h"
#include "platform/Window.h"
#include "render/Camera.h"
#include "render/Display.h"
#include "render/Meshes.h"
#include "sound/Sound.h"

namespace {
constexpr uint32_t kTickMs = 16;
constexpr const char* kEffectFiles[] = {"data/laser.wav", "data/bullet.wav", "data/explo.wav",
                                        "data/ready.wav", "data/over.wav"};
}  // namespace

CGame::CGame(const PlatformInstance* hInstance, IWindow* pFrame, CDisplay* pDisplay)
    : m_hInstance(hInstance), m_pFrame(pFrame)
{
    g_pGame = this;
    FillSinTable();
    g_pDisplay = pDisplay;
    g_pD3DDevice = pDisplay->m_pDevice;
    g_pViewport = pDisplay->m_pViewport;
    g_pInput = new CInput;
    g_pInput->Init(pFrame, hInstance);
    g_pSound = new CSound;
    g_pSound->Init(pFrame, hInstance->pSoundSystem);
    LoadHighScores();
}

bool CGame::Start()
{
    for (int i = 0; i < 5; ++i) g_pSound->LoadWav(kEffectFiles[i], i);
    BuildMeshTemplates();
    g_pCamera = new CCamera;
    SetProjection();
    for (CGameObject*& slot : g_objects) slot = nullptr;
    m_pTitle = new CTitleState;
    m_pPlay = new CPlayState;
    const bool started = EnterTitle();
    m_bActive = true;
    return started;
}

void CGame::SetProjection()
{
    D3DVIEWPORT2 viewport;
    g_pViewport->GetViewport2(&viewport);
    Matrix4 projection;
    const float aspect = float(viewport.dwHeight) / float(viewport.dwWidth);
    g_pDisplay->BuildProjectionMatrix(&projection, 0.75f, aspect, 100.0f, -100.0f);
    g_pD3DDevice->SetTransform(D3DTRANSFORMSTATE_PROJECTION, projection);
}

bool CGame::ResizeDisplay(int32_t width, int32_t height)
{
    // The tick sets the view transform on the same device.
    std::lock_guard<std::mutex> lock(g_lock);
    if (!g_pDisplay->Resize(width, height)) return false;
    SetProjection();
    return true;
}

bool CGame::StartTimer()
{
    IMultimediaTimer* const timer = m_hInstance->pTimer;
    uint32_t periodMin = 0, periodMax = 0;
    if (timer == nullptr || !timer->GetDevCaps(&periodMin, &periodMax)) return false;
    m_uTimerRes = periodMin < periodMax ? periodMin : periodMax;
    timer->BeginPeriod(m_uTimerRes);
    m_uTimerID = timer->SetEvent(kTickMs, m_uTimerRes, TimerProc, reinterpret_cast<uintptr_t>(this));
    return m_uTimerID != 0;
}

void CGame::StopTimer()
{
    // Taken and cleared in one step, so a stop from the window thread and a state switch
    // on the timer thread can never both kill, or both miss, the same timer.
    const uint32_t id = m_uTimerID.exchange(0);
    if (id == 0) return;
    m_hInstance->pTimer->KillEvent(id);
    m_hInstance->pTimer->EndPeriod(m_uTimerRes);
}

void TimerProc(uint32_t, uint32_t, uintptr_t user, uintptr_t, uintptr_t)
{
    CGame* const game = reinterpret_cast<CGame*>(user);
    std::lock_guard<std::mutex> lock(game->m_tickLock);
    if (game->m_bActive && !game->IsPaused()) game->Tick();
}

void CGame::Tick()
{
    g_dwInput = 0;
    PollInput();
    RunState();
    m_pFrame->InvalidateRect();
}

void CGame::PollInput()
{
    g_pInput->PollKeyboard();
    g_pInput->PollJoystick();
}

void CGame::RunState()
{
    if (m_nState == STATE_TITLE) {
        RunTitle();
    } else {
        RunPlay();
    }
}

void CGame::RunTitle()
{
    if (m_pTitle->Update()) return;
    ClearObjects();
    EnterPlay();
}

void CGame::RunPlay()
{
    if (m_pPlay->Update()) return;
    ClearObjects();
    EnterTitle();
    m_pFrame->SendMessage(WM_USER);
}

bool CGame::EnterTitle()
{
    StopTimer();
    m_nState = STATE_TITLE;
    m_pTitle->Begin();
    return StartTimer();
}

bool CGame::EnterPlay()
{
    StopTimer();
    m_nState = STATE_PLAY;
    m_bPaused = false;
    m_pPlay->Begin();
    return StartTimer();
}

void CGame::Paint()
{
    if (m_nState == STATE_TITLE) {
        m_pTitle->Render();
    } else {
        m_pPlay->Render();
        // Frozen because the window went to the back looks no different from a hung game
        // otherwise.
        if (IsPaused() || !m_bActive) PrintPaused();
    }
}

void CGame::TogglePause()
{
    if (m_nState != STATE_PLAY) return;
    m_bPaused = !m_bPaused;
    m_pFrame->InvalidateRect();
}

bool CGame::IsPaused() const
{
    // A pause key that raced the end of the run must not freeze the title.
    return m_bPaused && m_nState == STATE_PLAY;
}

void CGame::PrintPaused()
{
    if (g_pDisplay->m_pTextPainter == nullptr) return;
    const char* const text = "Paused";
    int32_t width = 0, height = 0;
    g_pDisplay->m_pTextPainter->GetTextExtent(text, &width, &height);
    // Measured in back-buffer pixels, placed in game-area units.
    const float scale = g_pDisplay->m_fScale;
    const auto x = int32_t(float(g_pDisplay->m_nWidth - width) / 2 / scale);
    const auto y = int32_t(float(g_pDisplay->m_nHeight - height) / 2 / scale);
    g_pDisplay->PrintText(g_pDisplay->m_pddsBack, x, y, text);
}

void CGame::Halt()
{
    // A tick that takes the lock after this point does nothing. One already running may be
    // between a state switch's two timers, where the id reads 0, so wait for it by the
    // lock rather than by the id; the timer it may have started is then the one to stop.
    m_bActive = false;
    { std::lock_guard<std::mutex> noTickRunning(m_tickLock); }
    StopTimer();
}

void CGame::Shutdown()
{
    Halt();
    // The score is final once no tick runs, and a typed name is worth keeping whatever
    // the teardown below may meet.
    g_pendingHighScore.Confirm();
    ClearObjects();
    delete m_pTitle;
    m_pTitle = nullptr;
    delete m_pPlay;
    m_pPlay = nullptr;
    delete g_pCamera;
    g_pCamera = nullptr;
    if (g_pInput != nullptr) {
        g_pInput->ReleaseDevices();
        delete g_pInput;
        g_pInput = nullptr;
    }
    if (g_pSound != nullptr) {
        g_pSound->ReleaseAll();
        delete g_pSound;
        g_pSound = nullptr;
    }
}

void AcquireInput()
{
    if (g_pInput != nullptr) g_pInput->Acquire();
}

void ClearObjects()
{
    std::lock_guard<std::mutex> lock(g_lock);
    for (CGameObject*& slot : g_objects) {
        delete slot;
        slot = nullptr;
    }
}

void RenderScene()
{
    const D3DRECT rect{0, 0, g_pDisplay->m_nWidth, g_pDisplay->m_nHeight};
    g_pViewport->Clear2(1, &rect, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
    g_pD3DDevice->BeginScene();
    {
        std::lock_guard<std::mutex> lock(g_lock);
        for (CGameObject* object : g_objects) {
            if (object != nullptr) object->Render();
        }
    }
    g_pD3DDevice->EndScene();
}
