#pragma once
// The fixed 40-slot object table and the functions every object kind shares: insertion
// by slot range, box collision and whole-degree trigonometry.
//
// Slots: 0 track, 1 player ship, 2-22 enemies (the title ship on the title screen),
// 23-26 player shots, 27-31 enemy shots, 32-39 explosions.
// The table owns what it holds. Callers that walk it or remove from it hold g_lock.
class CGameObject;

inline constexpr int kObjectSlots = 40;

extern CGameObject* g_objects[kObjectSlots];
// Points at slot 1 after the first AddPlayer; null in the slot means no ship.
extern CGameObject** g_ppPlayer;

// Each takes ownership: on false the object has already been deleted.
bool AddScenery(CGameObject* object);
bool AddPlayer(CGameObject* object);
bool AddEnemy(CGameObject* object);
bool AddPlayerShot(CGameObject* object);
bool AddEnemyShot(CGameObject* object);
bool AddExplosion(CGameObject* object);

// True when o is within 24 units of some object of the range on all three axes.
bool HitsEnemy(const CGameObject& o);
bool HitsPlayerShot(const CGameObject& o);
bool HitsEnemyShot(const CGameObject& o);

// Whole degrees, 0..359; no range check.
double SinDeg(int degrees);
double CosDeg(int degrees);

// Fills g_sinTable; the controller calls it once at construction.
void FillSinTable();
