#include "application.h"

#include "appinfo.h"
#include "dialogfont.h"

#include <QApplication>

void setUpApplication()
{
    // Message boxes use the window's dialog font too; it also spares loading
    // the toolkit's default font, which nothing would show.
    QApplication::setFont(dialogFont());
    QApplication::setApplicationName(QStringLiteral(CORVATTA_TITLE));
    QApplication::setApplicationDisplayName(QStringLiteral(CORVATTA_TITLE));
    QApplication::setApplicationVersion(QStringLiteral(CORVATTA_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral(CORVATTA_APP_ID));
}
