#pragma once
// The frames the game draws, on a real display and software device: the title (track,
// tumbling ship, picture and texts), the busiest play frame (the track, the ship, 21
// enemies along the tube, 4 player shots, 5 enemy shots, 8 explosions and the HUD) and
// game over (the same without the ship, "Game Over" over it). For the paint benchmark,
// the frame checksums and the scene-rendering tool; it takes over the game's globals
// (display, device, camera, object table) for its lifetime.
#include "platform/DisplayDevices.h"
#include "render/Display.h"
#include "tests/fakes/FakeWindow.h"
#include "tests/fakes/GameHarness.h"
#include "tests/fakes/NullPrimarySurface.h"

class CBusyScene {
public:
    enum class Scene { Title, Play, GameOver };

    // devices.pTextPainter and pBitmapLoader may be null (no texts, no title picture).
    // scale: the display's, with a back buffer that many times 640 x 480.
    explicit CBusyScene(DisplayDevices devices, Scene scene = Scene::Play, int32_t scale = 1);
    ~CBusyScene();
    CBusyScene(const CBusyScene&) = delete;
    CBusyScene& operator=(const CBusyScene&) = delete;

    // Replaces the objects with another scene's; the buffers keep the last frame.
    void Show(Scene scene);
    // What the state's paint does: clear, draw every object, then its overlays.
    void Paint();
    // The clear alone, colour and depth, for comparison.
    void Clear();

    CDisplay& Display() { return m_display; }

private:
    void PopulateTitle();
    void PopulatePlay(bool withShip);

    CObjectWorld m_world;
    CNullPrimarySurface m_primary;
    CFakeWindow m_window;
    CDisplay m_display;
    Scene m_scene = Scene::Play;
};
