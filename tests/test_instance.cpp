// The handshake of a second start with the running instance, over a real local socket: what
// makes the running instance show its window, and what it refuses.

#include "app/instance.h"

#include <QElapsedTimer>
#include <QFile>
#include <QLocalSocket>
#include <QTemporaryDir>
#include <QtTest>
#include <atomic>
#include <thread>

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

QTEST_GUILESS_MAIN(TestInstance)
#include "test_instance.moc"
