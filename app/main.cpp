#include "application.h"
#include "form1.h"
#include "qtplatform.h"
#include "startup.h"

#include <QApplication>

int main()
{
    // The command line is not read at all, not even for the toolkit's own
    // options: the program starts the same whatever it is given.
    int toolkitArgc = 1;
    char programName[] = "corvatta";
    char* toolkitArgv[] = {programName, nullptr};
    QApplication app(toolkitArgc, toolkitArgv);
    setUpApplication();

    QtPlatform platform(createForm1);
    startProgram(platform);
    return QApplication::exec();
}
