// The built program as a process on a real X server (the test runs under
// xvfb-run): one window, titled and sized right, whatever the command line
// holds and at whatever scale the desktop sets, and closing it ends the
// process.
#include "layoutcases.h"

#include <QProcess>
#include <QTest>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <memory>

namespace {

struct TopLevel
{
    Window id = 0;
    QString title;
    QSize size;
    QSize minimum;
    QSize maximum;
};

class XServer
{
public:
    XServer() : display(XOpenDisplay(nullptr))
    {
        // A window may vanish between listing and asking about it; that is
        // no failure of the program, so X errors are answered quietly.
        XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    }
    ~XServer()
    {
        if (display)
            XCloseDisplay(display);
    }
    XServer(const XServer&) = delete;
    XServer& operator=(const XServer&) = delete;

    bool isOpen() const { return display != nullptr; }

    // The viewable windows directly below the root.
    QList<TopLevel> topLevels() const
    {
        QList<TopLevel> found;
        Window root = 0;
        Window parent = 0;
        Window* children = nullptr;
        unsigned int count = 0;
        if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count))
            return found;
        for (unsigned int i = 0; i < count; ++i) {
            XWindowAttributes attributes{};
            if (!XGetWindowAttributes(display, children[i], &attributes) ||
                attributes.map_state != IsViewable)
                continue;
            TopLevel window;
            window.id = children[i];
            window.size = QSize(attributes.width, attributes.height);
            window.title = title(children[i]);
            XSizeHints hints{};
            long supplied = 0;
            if (XGetWMNormalHints(display, children[i], &hints, &supplied)) {
                if (hints.flags & PMinSize)
                    window.minimum = QSize(hints.min_width, hints.min_height);
                if (hints.flags & PMaxSize)
                    window.maximum = QSize(hints.max_width, hints.max_height);
            }
            found << window;
        }
        if (children)
            XFree(children);
        return found;
    }

    // What a window manager sends when the user clicks Close.
    void askToClose(Window window) const
    {
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = window;
        event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
        event.xclient.format = 32;
        event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
        event.xclient.data.l[1] = CurrentTime;
        XSendEvent(display, window, False, NoEventMask, &event);
        XFlush(display);
    }

    // What desktops publish for X programs, such as Xft.dpi.
    void setResources(const QByteArray& text) const
    {
        XChangeProperty(display, DefaultRootWindow(display), XA_RESOURCE_MANAGER, XA_STRING, 8,
                        PropModeReplace, reinterpret_cast<const uchar*>(text.data()),
                        int(text.size()));
        XSync(display, False);
    }

private:
    QString title(Window window) const
    {
        Atom type = 0;
        int format = 0;
        unsigned long items = 0;
        unsigned long after = 0;
        unsigned char* data = nullptr;
        const Atom netName = XInternAtom(display, "_NET_WM_NAME", False);
        const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
        QString result;
        if (XGetWindowProperty(display, window, netName, 0, 1024, False, utf8, &type, &format,
                               &items, &after, &data) == Success &&
            data) {
            result = QString::fromUtf8(reinterpret_cast<const char*>(data),
                                       static_cast<qsizetype>(items));
            XFree(data);
        }
        return result;
    }

    Display* display;
};

// The program as a user's desktop starts it: on the X server, whatever
// platform the test runner itself was told to use.
void startProgram(QProcess& program, const QStringList& arguments,
                  const QByteArray& scaleFactor = {})
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    environment.remove(QStringLiteral("QT_SCALE_FACTOR"));
    if (!scaleFactor.isEmpty())
        environment.insert(QStringLiteral("QT_SCALE_FACTOR"), QString::fromLatin1(scaleFactor));
    program.setProcessEnvironment(environment);
    program.setProgram(QStringLiteral(CORVATTA_EXECUTABLE));
    program.setArguments(arguments);
    program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    program.start();
}

QList<TopLevel> waitForWindows(const XServer& server, qsizetype count)
{
    QList<TopLevel> windows;
    (void)QTest::qWaitFor(
        [&] {
            windows = server.topLevels();
            return windows.size() >= count;
        },
        15000);
    return windows;
}

} // namespace

class TestProgram : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void showsOneWindowAndEndsWhenItCloses_data();
    void showsOneWindowAndEndsWhenItCloses();
    void twoCopiesShareNothing();

private:
    std::unique_ptr<XServer> server;
};

void TestProgram::initTestCase()
{
    server = std::make_unique<XServer>();
    if (!server->isOpen())
        QFAIL("no X display: run this test under xvfb-run");
    QVERIFY(server->topLevels().isEmpty());
}

void TestProgram::showsOneWindowAndEndsWhenItCloses_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("desktop"); // Xft.dpi as xrdb writes it, or Qt's scale factor
    QTest::addColumn<qreal>("scale");
    QTest::newRow("no arguments") << QStringList{} << QByteArray() << 1.0;
    // Were these read, the window would be offscreen, restyled or resized.
    QTest::newRow("toolkit options")
        << QStringList{"-platform", "offscreen", "-style", "fusion", "-geometry", "100x100+5+5"}
        << QByteArray() << 1.0;
    QTest::newRow("stray words") << QStringList{"--foo", "bar", "-", "--help", "--version"}
                                 << QByteArray() << 1.0;
    QTest::newRow("Xft.dpi 144") << QStringList{} << QByteArray("Xft.dpi:\t144\n") << 1.5;
    QTest::newRow("Xft.dpi 192") << QStringList{} << QByteArray("Xft.dpi:\t192\n") << 2.0;
    QTest::newRow("QT_SCALE_FACTOR 1.25") << QStringList{} << QByteArray("1.25") << 1.25;
    QTest::newRow("QT_SCALE_FACTOR 1.5") << QStringList{} << QByteArray("1.5") << 1.5;
    QTest::newRow("QT_SCALE_FACTOR 2") << QStringList{} << QByteArray("2") << 2.0;
}

void TestProgram::showsOneWindowAndEndsWhenItCloses()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, desktop);
    QFETCH(qreal, scale);

    const bool dpi = desktop.startsWith("Xft.dpi");
    server->setResources(dpi ? desktop : QByteArray());
    QProcess program;
    startProgram(program, arguments, dpi ? QByteArray() : desktop);
    QVERIFY(program.waitForStarted());

    const QList<TopLevel> windows = waitForWindows(*server, 1);
    server->setResources({});
    QCOMPARE(windows.size(), 1);
    const QSize client =
        (QSizeF(layoutcases::clientWidth, layoutcases::clientHeight) * scale).toSize();
    QCOMPARE(windows[0].title, layoutcases::title);
    QCOMPARE(windows[0].size, client);
    // A fixed size, told to any window manager through the size hints.
    QCOMPARE(windows[0].minimum, client);
    QCOMPARE(windows[0].maximum, client);
    QCOMPARE(program.state(), QProcess::Running);

    server->askToClose(windows[0].id);
    QVERIFY(program.waitForFinished(10000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);
    QVERIFY(server->topLevels().isEmpty());
}

void TestProgram::twoCopiesShareNothing()
{
    QProcess first;
    QProcess second;
    startProgram(first, {});
    QCOMPARE(waitForWindows(*server, 1).size(), 1);
    startProgram(second, {});
    const QList<TopLevel> windows = waitForWindows(*server, 2);
    QCOMPARE(windows.size(), 2);

    server->askToClose(windows[0].id);
    QVERIFY(QTest::qWaitFor([&] { return server->topLevels().size() == 1; }, 10000));
    // Exactly one of the two ended; the other still runs.
    QVERIFY(QTest::qWaitFor(
        [&] {
            return first.state() == QProcess::NotRunning || second.state() == QProcess::NotRunning;
        },
        10000));
    QCOMPARE(int(first.state() == QProcess::Running) + int(second.state() == QProcess::Running), 1);

    server->askToClose(server->topLevels().at(0).id);
    QVERIFY(QTest::qWaitFor(
        [&] {
            return first.state() == QProcess::NotRunning && second.state() == QProcess::NotRunning;
        },
        10000));
}

QTEST_GUILESS_MAIN(TestProgram)
#include "tst_program.moc"
