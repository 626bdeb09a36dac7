#include "appinfo.h"
#include "dialogfont.h"
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
    // Message boxes use the window's dialog font too; it also spares loading
    // the toolkit's default font, which nothing would show.
    QApplication::setFont(dialogFont());
    QApplication::setApplicationName(QStringLiteral(CORVATTA_TITLE));
    QApplication::setApplicationDisplayName(QStringLiteral(CORVATTA_TITLE));
    QApplication::setApplicationVersion(QStringLiteral(CORVATTA_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral(CORVATTA_APP_ID));

    QtPlatform platform(createForm1);
    startProgram(platform);
    return QApplication::exec();
}
