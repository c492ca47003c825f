// The handshake of a second start with the running instance, over a real local socket: what
// makes the running instance show its window, and what it refuses.

#include "app/instance.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocalSocket>
#include <QTemporaryDir>
#include <QtTest>
#include <atomic>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {
// Sends `request` from another thread (the server needs this thread's event loop) and returns
// what came back before the server closed the connection.
QByteArray Exchange(const QString& name, const QByteArray& request) {
    QByteArray answer;
    std::atomic<bool> done{false};
    std::thread client([&] {
        QLocalSocket s;
        s.connectToServer(name);
        if (s.waitForConnected(2000)) {
            s.write(request);
            s.waitForBytesWritten(2000);
            while (s.state() == QLocalSocket::ConnectedState && s.waitForReadyRead(5000))
                answer += s.readAll();
            answer += s.readAll();
        }
        done = true;
    });
    [[maybe_unused]] const bool finished = QTest::qWaitFor([&] { return done.load(); }, 10000);
    client.join(); // the client gives up on its own within its timeouts
    return answer;
}
} // namespace

class TestInstance : public QObject {
    Q_OBJECT
private slots:
    void requests_data();
    void requests();
    void askToShow();
    void nobodyListening();
    void leftOverSocketIsReplaced();
    void survivesRunningOutOfDescriptors();
};

void TestInstance::requests_data() {
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<int>("shows");
    QTest::addColumn<QByteArray>("answer");
    QTest::newRow("show") << QByteArray("show\n") << 1 << QByteArray("shown\n");
    QTest::newRow("two requests on one connection: one show")
        << QByteArray("show\nshow\n") << 1 << QByteArray("shown\n");
    QTest::newRow("another line") << QByteArray("quit\n") << 0 << QByteArray();
    QTest::newRow("a longer word") << QByteArray("showing\n") << 0 << QByteArray();
    QTest::newRow("an endless line") << QByteArray(4096, 's') << 0 << QByteArray();
    QTest::newRow("a client that says nothing is dropped") << QByteArray() << 0 << QByteArray();
}

void TestInstance::requests() {
    QFETCH(QByteArray, request);
    QFETCH(int, shows);
    QFETCH(QByteArray, answer);
    QTemporaryDir dir;
    const QString name = dir.path() + QStringLiteral("/vakto.socket");
    int shown = 0;
    InstanceServer server(name, [&] { ++shown; });
    QVERIFY2(server.listen(), qPrintable(server.errorString()));
    QCOMPARE(Exchange(name, request), answer);
    QCOMPARE(shown, shows);
    // The server still serves after whatever came before.
    QCOMPARE(Exchange(name, "show\n"), QByteArray("shown\n"));
    QCOMPARE(shown, shows + 1);
}

void TestInstance::askToShow() {
    QTemporaryDir dir;
    const QString name = dir.path() + QStringLiteral("/vakto.socket");
    int shown = 0;
    InstanceServer server(name, [&] { ++shown; });
    QVERIFY(server.listen());
    std::atomic<int> result{-1};
    std::thread second([&] { result = AskToShow(name) ? 1 : 0; });
    QTRY_VERIFY(result != -1);
    second.join();
    QCOMPARE(int(result), 1);
    QCOMPARE(shown, 1);
    // Only the user who started the instance may connect.
    QCOMPARE(QFile::permissions(name) & (QFile::ReadOther | QFile::WriteOther | QFile::ReadGroup | QFile::WriteGroup),
             QFile::Permissions());
    struct stat st {};
    QCOMPARE(::stat(QFile::encodeName(name).constData(), &st), 0);
    QVERIFY(S_ISSOCK(st.st_mode));
}

void TestInstance::nobodyListening() {
    QTemporaryDir dir;
    QElapsedTimer t;
    t.start();
    QVERIFY(!AskToShow(dir.path() + QStringLiteral("/vakto.socket")));
    QVERIFY(t.elapsed() < 1000); // nothing to wait for
}

void TestInstance::leftOverSocketIsReplaced() {
    // A crashed instance leaves its socket file; the next instance (holding the lock) replaces it.
    QTemporaryDir dir;
    const QString name = dir.path() + QStringLiteral("/vakto.socket");
    {
        QFile stale(name);
        QVERIFY(stale.open(QIODevice::WriteOnly));
    }
    int shown = 0;
    InstanceServer server(name, [&] { ++shown; });
    QVERIFY2(server.listen(), qPrintable(server.errorString()));
    QCOMPARE(Exchange(name, "show\n"), QByteArray("shown\n"));
    QCOMPARE(shown, 1);
}

void TestInstance::survivesRunningOutOfDescriptors() {
    // Connections wait while the process has no descriptor left, so the server cannot accept them;
    // once descriptors are free again a second start is still answered at the same socket.
    QTemporaryDir dir;
    const QString name = dir.path() + QStringLiteral("/vakto.socket");
    int shown = 0;
    InstanceServer server(name, [&] { ++shown; });
    QVERIFY2(server.listen(), qPrintable(server.errorString()));
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    const QByteArray path = QFile::encodeName(name);
    std::copy(path.begin(), path.end(), addr.sun_path);
    std::vector<int> fds;
    for (int i = 0; i < 4; ++i) {
        const int c = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        QVERIFY(c >= 0);
        fds.push_back(c);
        QCOMPARE(::connect(c, reinterpret_cast<const sockaddr*>(&addr), sizeof addr), 0);
    }
    // No descriptor left: the limit just above the highest open one, the gaps below it filled.
    int highest = 0;
    for (const QString& entry : QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::Files | QDir::System))
        highest = std::max(highest, entry.toInt());
    rlimit before{};
    QCOMPARE(::getrlimit(RLIMIT_NOFILE, &before), 0);
    rlimit low = before;
    low.rlim_cur = rlim_t(highest + 1);
    QCOMPARE(::setrlimit(RLIMIT_NOFILE, &low), 0);
    int fd;
    while (fds.size() < 100000 && (fd = ::open("/dev/null", O_RDONLY | O_CLOEXEC)) >= 0)
        fds.push_back(fd);
    const int error = errno;
    QTest::qWait(300); // the server tries to accept, and fails
    for (int f : fds)
        ::close(f);
    QCOMPARE(::setrlimit(RLIMIT_NOFILE, &before), 0);
    QCOMPARE(error, EMFILE);

    struct stat st {};
    QCOMPARE(::stat(path.constData(), &st), 0);
    QVERIFY(S_ISSOCK(st.st_mode));
    QCOMPARE(Exchange(name, "show\n"), QByteArray("shown\n"));
    QCOMPARE(shown, 1);
}

QTEST_GUILESS_MAIN(TestInstance)
#include "test_instance.moc"
