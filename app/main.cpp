// Vakto: analog clock, timer, alarm, time intervals announcer, punch clock.

#include "about/frmabout.h"
#include "alarm/sound.h"
#include "app/files.h"
#include "app/frmvakto.h"
#include "app/instance.h"
#include "app/shell.h"
#include "app/shellports.h"
#include "app/startup.h"
#include "punch/ledger.h"
#include "tray/qttray.h"
#include "tray/traymenu.h"

#include <QApplication>
#include <QFileInfo>
#include <QLockFile>
#include <QSessionManager>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <sys/socket.h>
#include <unistd.h>

namespace {
// The end of the desktop session arrives as SIGTERM (or SIGHUP); the handler only wakes the event
// loop, which then quits as from the menu, so the ledger is saved and punched minutes are kept.
int signalPipe[2] = {-1, -1};
void OnSignal(int) {
    const char c = 1;
    [[maybe_unused]] const ssize_t n = ::write(signalPipe[1], &c, 1);
}

// The running program, for the ways out that do not come back through its event loop: exit() from
// inside Qt (the X connection broke), the Wayland plugin's warning before its _exit(), and qFatal().
// Null outside main's lifetime of it. Atomic: the Wayland warning comes from its event thread, and
// whoever takes the pointer first saves, once.
std::atomic<Vakto*> running{nullptr};
MessageBoxes* boxes = nullptr;

// Writes the ledger with the minutes punched so far, reporting only on standard error: the display
// may be gone. With the per-minute saves this adds at most a retry of a save that failed.
void SaveOnTheWayOut() {
    // A second caller (the other thread reporting the same broken connection, then calling
    // _exit) waits here until the first one's save is on the disk.
    static std::recursive_mutex saving;
    const std::lock_guard<std::recursive_mutex> hold(saving);
    Vakto* v = running.exchange(nullptr);
    if (!v || v->app.ended) return;
    if (boxes) boxes->setHeadless(true);
    if (!v->punch.loaded) {
        // Gone before the start-up read the ledger: nothing of it is in memory to write.
        std::fprintf(stderr, "vakto: ending without the display before the ledger was read; it is left as it was\n");
        return;
    }
    if (SaveProjectsWithPunched(*v))
        std::fprintf(stderr, "vakto: ending without the display; the ledger holds the punched minutes\n");
}

QtMessageHandler previousHandler = nullptr;
void OnQtMessage(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    // Qt's Wayland plugin says this and then calls _exit(), which skips the atexit save.
    const bool waylandGone =
        type != QtDebugMsg && type != QtInfoMsg && message.startsWith(QLatin1String("The Wayland connection "));
    if (type == QtFatalMsg || waylandGone) SaveOnTheWayOut();
    if (previousHandler) previousHandler(type, context, message);
}

QString ProgramFolder(const char* argv0) {
    QFileInfo exe(QStringLiteral("/proc/self/exe"));
    QString path = exe.canonicalFilePath();
    if (path.isEmpty()) path = QFileInfo(QString::fromLocal8Bit(argv0)).absoluteFilePath();
    return QFileInfo(path).absolutePath();
}
} // namespace

int main(int argc, char** argv) {
    // One instance per ledger. The check comes first: a second start asks the running instance to
    // show its window and ends, silently and with status 0, before anything of its own is shown.
    // A lock whose owner died is stale and taken over at once. The lock lies beside the ledger
    // itself, whatever path or session leads to it; the runtime folder is read as it is set (Qt
    // would fall back to a folder under /tmp).
    FileLayout files =
        ChooseFiles(ProgramFolder(argv[0]), QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
    const QString noLock = ResolveLock(files, qEnvironmentVariable("XDG_RUNTIME_DIR"));
    QLockFile lock(files.lock);
    lock.setStaleLockTime(0);
    if (!files.lock.isEmpty() && !lock.tryLock(0) && lock.error() == QLockFile::LockFailedError) {
        QCoreApplication second(argc, argv);
        if (!files.socket.isEmpty()) AskToShow(files.socket);
        return 0;
    }
    // A lock that cannot be made is no reason to end: the start-up reports an unusable ledger.
    if (!noLock.isEmpty() || !lock.isLocked())
        std::fprintf(stderr, "vakto: running without the single-instance lock: %s\n",
                     qPrintable(!noLock.isEmpty() ? noLock
                                : lock.error() == QLockFile::PermissionError
                                    ? files.lock + QStringLiteral(": permission denied")
                                    : files.lock + QStringLiteral(": cannot be made")));
    if (files.socket.isEmpty())
        std::fprintf(stderr, "vakto: no folder private to this user for the second-start socket (XDG_RUNTIME_DIR "
                             "unset or shared): a second start cannot show this window\n");

    // A repaint a second of a few tens of kilobytes is cheaper to send over the X connection than
    // to hand over in shared memory: that path costs a round trip, and so a second wakeup, per frame.
    if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM")) qputenv("QT_XCB_NO_MITSHM", "1");
    // Qt's Wayland client loads its EGL buffer integration (libEGL_mesa, the Mesa driver, LLVM: some
    // 50 MiB) only to learn whether it may draw window decorations; this program paints everything
    // in software and its main window is frameless. Without decorations nothing asks for GL.
    if (!qEnvironmentVariableIsSet("QT_WAYLAND_DISABLE_WINDOWDECORATION"))
        qputenv("QT_WAYLAND_DISABLE_WINDOWDECORATION", "1");
    QApplication qapp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vakto"));
    QApplication::setDesktopFileName(QStringLiteral("org.vakto.Vakto"));
    // The window hides to the tray and the alarm window closes itself: neither may end the program.
    QApplication::setQuitOnLastWindowClosed(false);

    SystemClock clock;
    CanberraSound sound;
    DesktopBrowser browser;
    MessageBoxes dialogs;
    QtTray tray;
    MainWindowPort window;
    Vakto v(Ports{clock, sound, browser, dialogs, tray, window}, files.programFolder);
    UseFiles(v, files);
    Shell shell(v);
    window.attach(&shell);
    tray.attach(&shell);

    // A desktop may save its session without ending it: save then, and quit only when the session
    // really ends (SIGTERM or SIGHUP below, or a quit the session manager asks of the application).
    QObject::connect(&qapp, &QGuiApplication::commitDataRequest, &qapp, [&](QSessionManager&) { OnSessionSave(v); });
    QObject::connect(&qapp, &QCoreApplication::aboutToQuit, &qapp, [&] { OnSessionEnd(v); });

    std::unique_ptr<QSocketNotifier> sigNotifier;
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) == 0) {
        sigNotifier = std::make_unique<QSocketNotifier>(signalPipe[0], QSocketNotifier::Read);
        QObject::connect(sigNotifier.get(), &QSocketNotifier::activated, &qapp, [&] {
            char c;
            [[maybe_unused]] const ssize_t n = ::read(signalPipe[0], &c, 1);
            // A fatal report is on screen (or the quit is done): there is nothing left to save, and a
            // logout must not wait for someone to press OK.
            if (v.app.ended) ::_exit(window.ended() ? window.status() : 2);
            OnSessionEnd(v);
        });
        struct sigaction sa {};
        sa.sa_handler = OnSignal;
        sigemptyset(&sa.sa_mask);
        sa.sa_flags = SA_RESTART;
        sigaction(SIGTERM, &sa, nullptr);
        sigaction(SIGHUP, &sa, nullptr);
        sigaction(SIGINT, &sa, nullptr);
    }

    // Qt ends the program with exit() when the display connection breaks (X server or compositor
    // gone), and with qFatal() on other faults it cannot survive: the ledger is written on the way.
    running = &v;
    boxes = &dialogs;
    struct Forget {
        ~Forget() {
            running = nullptr;
            boxes = nullptr;
        }
    } forget;
    std::atexit(SaveOnTheWayOut);
    previousHandler = qInstallMessageHandler(OnQtMessage);

    const bool started = Startup(v);
    if (!started || v.app.ended) return window.status();
    shell.sync();
    shell.startTicking();
    // A second start asks through this socket; what it gets is the tray menu's "Show", raised.
    InstanceServer instance(files.socket, [&] {
        RunMenuItem(v, mnuShow);
        shell.sync();
        shell.mainWindow()->raise();
        shell.mainWindow()->activateWindow();
    });
    if (!files.socket.isEmpty() && !instance.listen())
        std::fprintf(stderr, "vakto: a second start cannot show this window: %s\n", qPrintable(instance.errorString()));
    const int rc = qapp.exec();
    return window.ended() ? window.status() : rc;
}
