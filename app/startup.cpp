#include "startup.h"

#include "handlers.h"

void startProgram(Platform& platform)
{
    platform.CreateMainWindow(bindHandlers(platform));
    platform.RaiseLoad();
    platform.ShowMainWindow();
    platform.EndOnClose();
}
