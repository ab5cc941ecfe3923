#include "app/GameApp.h"

int main(int argc, char** argv)
{
    CGameApp application(argc, argv);
    if (!application.InitInstance()) return 1;
    return application.Run();
}
