// Faults of the disk and of the file under the ledger. A ledger that cannot be read ends the
// program with a clear message naming the file, a non-zero status and the bytes on disk exactly as
// they were. A save that fails while running is reported once, keeps everything in memory and the
// old file as it was, and succeeds at the next try once the disk lets it.

#include "punch/ledger.h"
#include "tests/support/harness.h"

#include <QRandomGenerator>
#include <QtTest>
#include <sys/mount.h>
#include <sys/stat.h>

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
int Mode(const QString& path) {
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 0777) : -1;
}

void ExpectWarning(FakeCore& c, const char* fault) {
    QVERIFY(c.dialogs.errors.isEmpty());
    QCOMPARE(c.dialogs.warnings.size(), 1);
    const QString& msg = c.dialogs.warnings.first();
    QVERIFY2(msg.contains(QStringLiteral("vakto.dat")), qPrintable(msg));
    QVERIFY2(msg.contains(QLatin1String(fault), Qt::CaseInsensitive), qPrintable(msg));
    QVERIFY(!c.window.ended);
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
    void removedFolder();
    void failedQuitSaysWhatIsLost();
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
    ExpectWarning(c2, "vakto.dat");
    QVERIFY(!SaveProjects(c2.v)); // tried again, not reported again
    QCOMPARE(c2.dialogs.warnings.size(), 1);
    QVERIFY(QFileInfo(dir2.path() + QStringLiteral("/vakto.dat")).isDir());
    // The directory goes: the next save writes the file.
    QVERIFY(QDir(dir2.path()).rmdir(QStringLiteral("vakto.dat")));
    QVERIFY(SaveProjects(c2.v));
    QCOMPARE(Read(dir2.path() + QStringLiteral("/vakto.dat")), SuppliedLedger());
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
    ExpectWarning(c, "read-only");
    QCOMPARE(Read(path), SuppliedLedger());
    QCOMPARE(c.v.punch.projects[0].minutes, std::int16_t(30));
    // Mounted writable again (the disk checked and back): the next save holds the change.
    QVERIFY(::mount("tmpfs", disk.path().toLocal8Bit().constData(), "tmpfs", MS_REMOUNT, nullptr) == 0);
    QVERIFY(SaveProjects(c.v));
    QVERIFY(Read(path) != SuppliedLedger());
    QVERIFY(LoadProjects(c.v));
    QCOMPARE(c.v.punch.projects[0].minutes, std::int16_t(30));
    QCOMPARE(c.dialogs.warnings.size(), 1);
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
    ExpectWarning(c, "no space left");
    QCOMPARE(Read(path), SuppliedLedger());
    const QStringList left = QDir(disk.path()).entryList(QDir::Files | QDir::Hidden);
    QCOMPARE(left, (QStringList{QStringLiteral("filler"), QStringLiteral("vakto.dat")}));
    // Room again: the records kept in memory reach the file.
    QVERIFY(QFile::remove(disk.path() + QStringLiteral("/filler")));
    QVERIFY(SaveProjects(c.v));
    FakeCore again(disk.path());
    QVERIFY(LoadProjects(again.v));
    QCOMPARE(again.v.punch.projects.size(), c.v.punch.projects.size());
}

void TestLedgerFaults::removedFolder() {
    QTemporaryDir dir;
    const QString folder = dir.path() + QStringLiteral("/data/vakto");
    QVERIFY(QDir().mkpath(folder));
    Write(folder + QStringLiteral("/vakto.dat"), SuppliedLedger());
    FakeCore c(folder);
    QVERIFY(LoadProjects(c.v));
    QVERIFY(QDir(dir.path() + QStringLiteral("/data")).removeRecursively());
    c.v.punch.projects[1].hours = 7;
    QVERIFY(SaveProjects(c.v));
    QVERIFY(c.dialogs.warnings.isEmpty());
    // Made again, and the user's alone, as the first start makes it.
    for (const QString& made : {dir.path() + QStringLiteral("/data"), folder})
        QCOMPARE(Mode(made), 0700);
    QCOMPARE(Mode(folder + QStringLiteral("/vakto.dat")), 0600);
    FakeCore again(folder);
    QVERIFY(LoadProjects(again.v));
    QCOMPARE(again.v.punch.projects[1].hours, std::int16_t(7));
}

void TestLedgerFaults::failedQuitSaysWhatIsLost() {
    SmallDisk disk(256);
    if (!disk.mounted) QSKIP("cannot mount a tmpfs here");
    Write(disk.path() + QStringLiteral("/vakto.dat"), SuppliedLedger());
    FakeCore c(disk.path());
    QVERIFY(LoadProjects(c.v));
    c.v.punch.currentProject = 2;
    c.v.punch.punchMinutes = 0;
    QVERIFY(disk.remountReadOnly());
    for (int minute = 1; minute <= 3; ++minute) {
        c.v.punch.punchMinutes = std::int16_t(minute);
        SaveAtFullMinute(c.v, 1);
    }
    QCOMPARE(c.dialogs.warnings.size(), 1);
    QVERIFY(!SaveProjectsAtQuit(c.v));
    ExpectFatal(c, "3 punched minutes are not on disk");
    QCOMPARE(Read(disk.path() + QStringLiteral("/vakto.dat")), SuppliedLedger());
}

QTEST_MAIN(TestLedgerFaults)
#include "test_ledger_faults.moc"
