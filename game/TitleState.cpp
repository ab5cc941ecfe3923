#include "game/TitleState.h"

#include <mutex>

#include "game/Game.h"
#include "game/Globals.h"
#include "input/Input.h"
#include "objects/GameObject.h"
#include "objects/ObjectTable.h"
#include "objects/TitleShip.h"
#include "objects/Track.h"
#include "platform/Surface.h"
#include "render/Camera.h"
#include "render/Display.h"

void CTitleState::Begin()
{
    // Under the lock: the paint may be walking the table and drawing with the view.
    std::lock_guard<std::mutex> lock(g_lock);
    g_pCamera->SetView(0, 200, 1000, 0, 0, 0, 0, 1, 0, 0);
    AddScenery(new CTrack);
    AddEnemy(new CTitleShip(0, 100, 600));
}

bool CTitleState::Update()
{
    UpdateObjects();
    return !(g_keyState[DIK_SPACE] & 0x80) && !(g_dwInput & INPUT_START);
}

void CTitleState::Render()
{
    RenderScene();
    g_pDisplay->BltBitmap(g_pDisplay->m_pddsTitle, g_pDisplay->m_pddsBack, DDBLTFAST_SRCCOLORKEY, 170, 20);
    g_pDisplay->PrintText(g_pDisplay->m_pddsBack, 220, 150, "written by Marvesto");
    g_pDisplay->PrintText(g_pDisplay->m_pddsBack, 250, 380, "press SPACE to start");
}

void UpdateObjects()
{
    std::lock_guard<std::mutex> lock(g_lock);
    for (CGameObject*& slot : g_objects) {
        if (slot != nullptr && !slot->Update()) {
            delete slot;
            slot = nullptr;
        }
    }
}
