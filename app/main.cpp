#include "app/GameApp.h"

int main(int argc, char** argv)
{
    // Before anything else: a termination signal during start-up must close the game once
    // it stands, not kill it half-built.
    CGameApp::CatchTerminationSignals();
    CGameApp application(argc, argv);
    if (!application.InitInstance()) return 1;
    return application.Run();
}
