#pragma once
// Builds a whole controller over fakes: a recording device and text painter behind a real
// CDisplay, a hand-stepped timer and a recording window. Tests drive it tick by tick.
#include <memory>

#include "game/Game.h"
#include "platform/PlatformInstance.h"
#include "platform/Surface.h"
#include "render/Display.h"
#include "tests/fakes/FakeWindow.h"
#include "tests/fakes/ManualTimer.h"
#include "tests/fakes/RecordingDevice3D.h"
#include "tests/fakes/RecordingSoundSystem.h"
#include "tests/fakes/RecordingTextPainter.h"
#include "tests/fakes/ScratchFolder.h"

class CGameHarness {
public:
    // timer: the one the controller uses; null means the harness's own manual timer.
    explicit CGameHarness(IMultimediaTimer* timer = nullptr);
    ~CGameHarness();  // shuts the controller down if the test has not

    // Puts a recording sound in g_pSound (buffer k is effect k), then starts the controller.
    void Start();
    void Shutdown();
    // One timer period, as the timer thread would deliver it.
    void Tick() { timer.Fire(); }
    void Ticks(int n) { timer.Run(n); }
    // Sets or clears bit 7 of g_keyState[key]; the null keyboard leaves it as set.
    static void SetKey(int key, bool down);
    // Texts drawn by one paint.
    std::vector<CRecordingTextPainter::Text> PaintTexts();

    CScratchFolder scratch;  // first: the controller loads data/hi.sav from here
    CManualTimer timer;
    CFakeWindow window;
    CRecordingDevice3D device;
    CRecordingTextPainter painter;
    CRecordingSoundSystem sound;
    CSurface backBuffer{640, 480};
    CDisplay display;
    PlatformInstance instance;
    std::unique_ptr<CGame> game;
};

// Sets up just what object kinds need outside a controller: the sine table, a device,
// a camera at the game's start position, a recording sound and an empty table.
class CObjectWorld {
public:
    CObjectWorld();
    ~CObjectWorld();
    // Plays of one effect so far.
    int Plays(int effect) const { return sound.PlayCount(effect); }

    CRecordingDevice3D device;
    CRecordingSoundSystem sound;
};

// Deletes every object of the table; for fixtures.
void EmptyObjectTable();
// Occupied slots from first to last, inclusive.
int CountObjects(int first, int last);
