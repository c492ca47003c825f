// Vakto: analog clock, timer, alarm, time intervals announcer, punch clock.

#include "about/frmabout.h"
#include "alarm/sound.h"
#include "app/shell.h"
#include "app/shellports.h"
#include "app/startup.h"
#include "tray/qttray.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QSessionManager>
#include <QStandardPaths>

namespace {
QString ProgramFolder(const char* argv0) {
    QFileInfo exe(QStringLiteral("/proc/self/exe"));
    QString path = exe.canonicalFilePath();
    if (path.isEmpty())
        path = QFileInfo(QString::fromLocal8Bit(argv0)).absoluteFilePath();
    return QFileInfo(path).absolutePath();
}
} // namespace

int main(int argc, char** argv) {
    // One instance per program folder. The check comes first: a second start ends here, silently,
    // before anything is shown. A lock whose owner died is stale and taken over at once.
    const QString folder = ProgramFolder(argv[0]);
    QString lockPath = folder + QStringLiteral("/.vakto.lock");
    if (!QFileInfo(folder).isWritable()) {
        const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
        lockPath = (runtime.isEmpty() ? QDir::tempPath() : runtime) + QStringLiteral("/vakto-") +
                   QString::number(qHash(folder), 16) + QStringLiteral(".lock");
    }
    QLockFile lock(lockPath);
    lock.setStaleLockTime(0);
    if (!lock.tryLock(0))
        return 0;

    QApplication qapp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vakto"));
    QApplication::setDesktopFileName(QStringLiteral("vakto"));
    // The window hides to the tray and the alarm window closes itself: neither may end the program.
    QApplication::setQuitOnLastWindowClosed(false);

    SystemClock clock;
    MediaSound sound;
    DesktopBrowser browser;
    MessageBoxes dialogs;
    QtTray tray;
    MainWindowPort window;
    Vakto v(Ports{clock, sound, browser, dialogs, tray, window}, folder);
    Shell shell(v);
    window.attach(&shell);
    tray.attach(&shell);

    QObject::connect(&qapp, &QGuiApplication::commitDataRequest, &qapp, [&](QSessionManager&) {
        OnSessionEnd(v);
    });

    const bool started = Startup(v);
    if (!started || v.app.ended)
        return window.status();
    shell.sync();
    shell.startTicking();
    const int rc = qapp.exec();
    return window.ended() ? window.status() : rc;
}
