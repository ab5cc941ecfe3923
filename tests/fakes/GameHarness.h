#pragma once
// Builds a whole controller over fakes: a recording device, text painter and picture
// loader behind a real CDisplay, started by Init as the frame starts it, a hand-stepped
// timer and a recording window. Tests drive it tick by tick.
#include <memory>

#include "game/Game.h"
#include "platform/PlatformInstance.h"
#include "render/Display.h"
#include "tests/fakes/FakeBitmapLoader.h"
#include "tests/fakes/FakeWindow.h"
#include "tests/fakes/ManualTimer.h"
#include "tests/fakes/NullPrimarySurface.h"
#include "tests/fakes/RecordingDevice3D.h"
#include "tests/fakes/RecordingSoundSystem.h"
#include "tests/fakes/RecordingTextPainter.h"
#include "tests/fakes/ScratchFolder.h"

class CGameHarness {
public:
    // timer: the one the controller uses; null means the harness's own manual timer.
    // The display is started with Init on window (640 x 480, 32 bits, scale 1), its title
    // picture a small one of the loader's; throws std::runtime_error if Init fails.
    explicit CGameHarness(IMultimediaTimer* timer = nullptr);
    // Shuts the controller down if the test has not, then releases the display's objects
    // (the device with them), as the frame does when the window closes.
    ~CGameHarness();
    CGameHarness(const CGameHarness&) = delete;
    CGameHarness& operator=(const CGameHarness&) = delete;

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
    CNullPrimarySurface primary;
    CFakeWindow window;  // shows primary
    CRecordingTextPainter painter;
    CFakeBitmapLoader loader;  // holds the title picture
    CRecordingSoundSystem sound;

private:
    // Made with the harness and handed over by the display's makeDevice, once: from Init on
    // the display owns it, as it owns the software device in the game.
    std::unique_ptr<CRecordingDevice3D> m_madeDevice;
    DisplayDevices Devices();

public:
    CRecordingDevice3D& device;  // the display's device, until the harness is destroyed
    CDisplay display;            // made by Init: back and depth buffers, viewport, lights, title
    PlatformInstance instance;
    std::unique_ptr<CGame> game;
};

// Sets up just what object kinds need outside a controller: the sine table, a device,
// a camera where ResetCamera puts it, a recording sound and an empty table.
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
