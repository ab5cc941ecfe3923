#pragma once
// The attract screen between runs: the scrolling track, the tumbling ship, the title
// picture, the credit line and the prompt. Waits for the space bar (or a gamepad's Start).
//
// Begin and Update run on the timer thread (Begin only from the controller's state switch,
// with the object table empty); Render runs on the window thread from the paint.
class CTitleState {
public:
    CTitleState() = default;
    virtual ~CTitleState() = default;

    void Begin();
    // False when the space bar or a gamepad's Start is down, tested after this tick's
    // object updates.
    bool Update();
    void Render();
};

// One tick of every occupied slot, in slot order, under g_lock; removes those whose
// Update returns false. Shared by both states.
void UpdateObjects();
