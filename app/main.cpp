#include "application.h"
#include "form1.h"
#include "qtplatform.h"
#include "startup.h"

#include <QApplication>

int main()
{
    // The command line is not read at all, not even for the toolkit's own
    // options: the program starts the same whatever it is given. The toolkit
    // gets the program's own options instead: on a Wayland desktop the window
    // runs on its X server (XWayland), and only where there is none on
    // Wayland itself. Qt's Wayland windows draw their own frame, with a
    // maximise button that the fixed-size window cannot honour (on weston 10
    // it ends the program), and Qt 6.4 does not tell the compositor that a
    // message box is modal. As an X window the compositor frames it from its
    // size hints, and the box is a modal dialog of the window, as on any X11
    // desktop.
    char programName[] = "corvatta";
    char platformOption[] = "-platform";
    char platforms[] = "xcb;wayland";
    char* toolkitArgv[] = {programName, platformOption, platforms, nullptr};
    int toolkitArgc = 3;
    QApplication app(toolkitArgc, toolkitArgv);
    setUpApplication();

    QtPlatform platform(createForm1);
    startProgram(platform);
    return QApplication::exec();
}
