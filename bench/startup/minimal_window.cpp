// The yardstick for the start-up benchmark: the least a Qt Widgets program
// can do to put a window of the calculator's size on the screen. One fixed
// 433 x 489 top-level widget, shown, and the event loop.
//
// Given "label" as its only argument it also puts one line of text in the
// window, in the toolkit's default font: the smallest program that has to
// find, load and draw a font, to tell what text costs in itself.

#include <QApplication>
#include <QLabel>
#include <QWidget>

#include <cstring>

int main(int argc, char** argv)
{
    const bool withLabel = argc == 2 && std::strcmp(argv[1], "label") == 0;

    // Started the same way as the calculator: no command line is passed on.
    int toolkitArgc = 1;
    char programName[] = "bench_minimal_window";
    char* toolkitArgv[] = {programName, nullptr};
    QApplication app(toolkitArgc, toolkitArgv);

    QWidget window;
    window.setFixedSize(433, 489);
    if (withLabel) {
        auto* label = new QLabel(QStringLiteral("Corvatta"), &window);
        label->setGeometry(88, 80, 265, 33);
    }
    window.show();
    return QApplication::exec();
}
