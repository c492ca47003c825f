// Faults of the disk and of the file under the ledger: each ends with a clear message naming the
// file, a non-zero exit status, and the bytes on disk exactly as they were.

#include "punch/ledger.h"
#include "tests/support/harness.h"

#include <QRandomGenerator>
#include <QtTest>
#include <sys/mount.h>

namespace {
// A tmpfs of its own, so that "full" and "read-only" are real conditions of a file system and
// not of permissions (which root ignores). Needs the right to mount; the tests skip without it.
struct SmallDisk {
    QTemporaryDir dir;
    bool mounted = false;
    explicit SmallDisk(int kib) {
        const QByteArray opts = "size=" + QByteArray::number(kib) + "k";
        mounted = ::mount("tmpfs", dir.path().toLocal8Bit().constData(), "tmpfs", 0, opts.constData()) == 0;
    }
    ~SmallDisk() {
        if (mounted) ::umount2(dir.path().toLocal8Bit().constData(), MNT_DETACH);
    }
    bool remountReadOnly() {
        return ::mount("tmpfs", dir.path().toLocal8Bit().constData(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr) == 0;
    }
    QString path() const { return dir.path(); }
};

QByteArray Read(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void Write(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(bytes), qint64(bytes.size()));
}

void ExpectFatal(FakeCore& c, const char* fault) {
    QCOMPARE(c.dialogs.errors.size(), 1);
    const QString& msg = c.dialogs.errors.first();
    QVERIFY2(msg.contains(QStringLiteral("vakto.dat")), qPrintable(msg));
    QVERIFY2(msg.contains(QLatin1String(fault), Qt::CaseInsensitive), qPrintable(msg));
    QVERIFY(c.window.ended);
    QVERIFY(c.window.status != 0);
}
} // namespace

class TestLedgerFaults : public QObject {
    Q_OBJECT
private slots:
    void badFiles_data();
    void badFiles();
    void fileIsADirectory();
    void readOnlyFolder();
    void fullDisk();
};

void TestLedgerFaults::badFiles_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("fault");
    QByteArray random(10 * 1024 * 1024, Qt::Uninitialized);
    QRandomGenerator rng(20261209);
    rng.fillRange(reinterpret_cast<quint32*>(random.data()), random.size() / 4);
    QTest::newRow("10 MB of random bytes") << random << "line";
    QTest::newRow("a line of 1 MB") << QByteArray(1024 * 1024, 'x') << "line 1";
    QByteArray longName = "1\t0\t0\t" + QByteArray(1024 * 1024, 'n') + "\r\n2\t0\tzz\tB\r\n";
    QTest::newRow("1 MB name, then a bad line") << longName << "line 2";
}

void TestLedgerFaults::badFiles() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, fault);
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/vakto.dat");
    Write(path, bytes);
    FakeCore c(dir.path());
    QVERIFY(!LoadProjects(c.v));
    ExpectFatal(c, qPrintable(fault));
    QVERIFY(Read(path) == bytes);
    QVERIFY(!SaveProjects(c.v)); // nothing is written after the end
    QVERIFY(Read(path) == bytes);
}

void TestLedgerFaults::fileIsADirectory() {
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("vakto.dat")));
    FakeCore c(dir.path());
    QVERIFY(!LoadProjects(c.v));
    ExpectFatal(c, "vakto.dat");
    QVERIFY(QFileInfo(dir.path() + QStringLiteral("/vakto.dat")).isDir());

    // Replaced by a directory while running: the save fails and the directory stays.
    QTemporaryDir dir2;
    Write(dir2.path() + QStringLiteral("/vakto.dat"), SuppliedLedger());
    FakeCore c2(dir2.path());
    QVERIFY(LoadProjects(c2.v));
    QVERIFY(QFile::remove(dir2.path() + QStringLiteral("/vakto.dat")));
    QVERIFY(QDir(dir2.path()).mkdir(QStringLiteral("vakto.dat")));
    QVERIFY(!SaveProjects(c2.v));
    ExpectFatal(c2, "vakto.dat");
    QVERIFY(QFileInfo(dir2.path() + QStringLiteral("/vakto.dat")).isDir());
}

void TestLedgerFaults::readOnlyFolder() {
    SmallDisk disk(256);
    if (!disk.mounted) QSKIP("cannot mount a tmpfs here");
    const QString path = disk.path() + QStringLiteral("/vakto.dat");
    Write(path, SuppliedLedger());
    QVERIFY(disk.remountReadOnly());
    FakeCore c(disk.path());
    QVERIFY(LoadProjects(c.v)); // reading works
    c.v.punch.projects[0].minutes = 30;
    QVERIFY(!SaveProjects(c.v));
    ExpectFatal(c, "vakto.dat");
    QCOMPARE(Read(path), SuppliedLedger());
}

void TestLedgerFaults::fullDisk() {
    SmallDisk disk(64);
    if (!disk.mounted) QSKIP("cannot mount a tmpfs here");
    const QString path = disk.path() + QStringLiteral("/vakto.dat");
    Write(path, SuppliedLedger());
    FakeCore c(disk.path());
    QVERIFY(LoadProjects(c.v));
    // Fill the disk to the last few bytes, then save a ledger larger than what is left.
    {
        QFile filler(disk.path() + QStringLiteral("/filler"));
        QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        const QByteArray block(4096, 'f');
        while (filler.write(block) == block.size()) {
        }
        const QByteArray byte(1, 'f');
        while (filler.write(byte) == 1) {
        }
    }
    for (int i = 0; i < 200; ++i)
        c.v.punch.projects.push_back(ProjectRec{std::int16_t(13 + i), 1, 2, QStringLiteral("A longer project name")});
    QVERIFY(!SaveProjects(c.v));
    ExpectFatal(c, "vakto.dat");
    QCOMPARE(Read(path), SuppliedLedger());
    const QStringList left = QDir(disk.path()).entryList(QDir::Files | QDir::Hidden);
    QCOMPARE(left, (QStringList{QStringLiteral("filler"), QStringLiteral("vakto.dat")}));
}

QTEST_MAIN(TestLedgerFaults)
#include "test_ledger_faults.moc"
