#include "appinfo.h"
#include "form1_win32.h"
#include "startup.h"
#include "utf16.h"
#include "win32numbers.h"

#include <commctrl.h>
#include <windows.h>

// The command line is not read: the program starts the same whatever it is
// given.
int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    const INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    Win32Platform platform(createForm1Win32, toUtf16(CORVATTA_TITLE), windowsNumberFormat());
    startProgram(platform);
    return platform.run();
}
