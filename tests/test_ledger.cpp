// The project ledger file: reading, writing, load and save failures, and saves that are killed.
#include "alarm/alarmstate.h"
#include "app/files.h"
#include "app/startup.h"
#include "punch/ledger.h"
#include "punch/punch.h"
#include "tests/support/fakes.h"
#include "tests/support/harness.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <csignal>
#include <cstdio>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QByteArray Header = "#\th\tm\tproject\r\n\r\n";

ProjectRec Rec(int number, int hours, int minutes, const QString& name) {
    ProjectRec r;
    r.number = static_cast<std::int16_t>(number);
    r.hours = static_cast<std::int16_t>(hours);
    r.minutes = static_cast<std::int16_t>(minutes);
    r.name = name;
    return r;
}

bool Same(const ProjectRec& a, const ProjectRec& b) {
    return a.number == b.number && a.hours == b.hours && a.minutes == b.minutes && a.name == b.name;
}

std::vector<ProjectRec> Numbered(int count, const QString& prefix, int hours) {
    std::vector<ProjectRec> out;
    for (int i = 1; i <= count; ++i)
        out.push_back(Rec(i, hours, i % 60, prefix + QString::number(i)));
    return out;
}

// The two ledgers the fault-injection test alternates between; of different sizes, so that a torn
// file can be neither of them.
std::vector<ProjectRec> LoopLedger(int which) {
    return which == 0 ? Numbered(600, QStringLiteral("Alpha project "), 1) : Numbered(900, QStringLiteral("Beta "), 2);
}

// The second ledger as the per-minute save writes it: record 1 selected and one minute punched.
std::vector<ProjectRec> LoopLedgerPunched() {
    std::vector<ProjectRec> p = LoopLedger(1);
    const int total = p[0].hours * 60 + p[0].minutes + 1;
    p[0].hours = std::int16_t(total / 60);
    p[0].minutes = std::int16_t(total % 60);
    return p;
}

// Child side of the fault-injection test: saves the two ledgers in turn until killed, the second
// through the per-minute save of a running punch clock. It reports
// after its first save, with how long that save took (microseconds), so that the parent kills it
// inside the loop and at moments spread over a few saves, whatever the speed of the build.
int SaveLoop(const QString& folder) {
    FakeCore core(folder);
    Vakto& v = core.v;
    v.punch.loaded = true; // this child owns the folder's ledger
    const std::vector<ProjectRec> ledgers[2] = {LoopLedger(0), LoopLedger(1)};
    QElapsedTimer alive;
    alive.start();
    for (int i = 0; alive.elapsed() < 30000; ++i) {
        QElapsedTimer one;
        one.start();
        v.punch.projects = ledgers[(i + 1) % 2];
        if (i % 2 == 0) {
            v.punch.currentProject = 1;
            v.punch.punchMinutes = 1;
            SaveAtFullMinute(v, 1);
            if (v.punch.saveFailing) return 3;
        } else {
            v.punch.currentProject = 0;
            v.punch.punchMinutes = PunchOff;
            if (!SaveProjects(v)) return 3;
        }
        if (i == 0) {
            std::printf("%lld\n", static_cast<long long>(one.nsecsElapsed() / 1000));
            std::fflush(stdout);
        }
    }
    return 0;
}

// A folder the program cannot write: a read-only tmpfs for root (which ignores permissions), no
// write permission for anyone else. `ok` is false where neither can be had.
struct ReadOnlyFolder {
    QString path;
    bool mounted = false;
    bool ok = false;
    explicit ReadOnlyFolder(const QString& p) : path(p) {
        if (::geteuid() == 0) mounted = ::mount("tmpfs", path.toLocal8Bit().constData(), "tmpfs", 0, "size=256k") == 0;
    }
    // After the folder is filled.
    void seal() {
        if (mounted)
            ok = ::mount("tmpfs", path.toLocal8Bit().constData(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr) == 0;
        else if (::geteuid() != 0)
            ok = QFile::setPermissions(path, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);
    }
    ~ReadOnlyFolder() {
        if (mounted)
            ::umount2(path.toLocal8Bit().constData(), MNT_DETACH);
        else
            QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
};

// Every file under `root` with its bytes, to show that a start changed nothing there.
QMap<QString, QByteArray> Snapshot(const QString& root) {
    QMap<QString, QByteArray> out;
    QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile f(path);
        out.insert(path, f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArrayLiteral("(unreadable)"));
    }
    return out;
}

} // namespace

class TestLedger : public QObject {
    Q_OBJECT
private slots:
    void readsRecords_data();
    void readsRecords();
    void rejectsBadFiles_data();
    void rejectsBadFiles();
    void writeThenReadTwelve();
    void normalisesHandEditedFile();
    void legacyFileKeepsItsBytes();
    void legacyFileMovesToUtf8ForNewLetters();
    void legacyCommentDroppedStaysReadable();
    void suppliedLedgerIsNormalised();
    void sanitisesTypedNames_data();
    void sanitisesTypedNames();
    void loadFailureEndsProgram_data();
    void loadFailureEndsProgram();
    void failedSaveKeepsOldFile();
    void handEditIsKept_data();
    void handEditIsKept();
    void killedSaveLeavesWholeFile();
    void choosesFiles_data();
    void choosesFiles();
};

void TestLedger::readsRecords_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("number");
    QTest::addColumn<int>("hours");
    QTest::addColumn<int>("minutes");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("legacy");

    QTest::newRow("three TABs separate like one")
        << (Header + "1\t\t\t2\t30\tAlpha\r\n") << 1 << 0 << 1 << 2 << 30 << "Alpha" << false;
    QTest::newRow("64 TABs separate like one")
        << (Header + "1" + QByteArray(64, '\t') + "2\t3\tA\r\n") << 1 << 0 << 1 << 2 << 3 << "A" << false;
    QTest::newRow("65 TABs leave an empty name")
        << QByteArray("1\t2\t3" + QByteArray(65, '\t') + "Name") << 1 << 0 << 1 << 2 << 3 << "" << false;
    QTest::newRow("_ number fields read as 0")
        << (Header + "4\t_\t_\tNew\r\n") << 1 << 0 << 4 << 0 << 0 << "New" << false;
    QTest::newRow("_ inside a number") << QByteArray("1_\t_5\t1\tX") << 1 << 0 << 10 << 5 << 1 << "X" << false;
    QTest::newRow("name keeps its underscore")
        << (Header + "5\t1\t2\tmy_site\r\n") << 1 << 0 << 5 << 1 << 2 << "my_site" << false;
    QTest::newRow("comments anywhere") << QByteArray("# top\r\n1\t0\t0\tA\r\n#\tmiddle\r\n\r\n2\t0\t0\tB\r\n#end") << 2
                                       << 1 << 2 << 0 << 0 << "B" << false;
    QTest::newRow("a line starting with a space is a record")
        << QByteArray("#x\r\n 8\t1\t2\tY\r\n") << 1 << 0 << 8 << 1 << 2 << "Y" << false;
    QTest::newRow("surrounding spaces") << QByteArray("  12 \t 3 \t  4\t  spaced name ") << 1 << 0 << 12 << 3 << 4
                                        << "  spaced name " << false;
    QByteArray thirteen = Header;
    for (int i = 1; i <= 13; ++i)
        thirteen += QByteArray::number(i) + "\t0\t" + QByteArray::number(i) + "\tP" + QByteArray::number(i) + "\r\n";
    QTest::newRow("13th record kept") << thirteen << 13 << 12 << 13 << 0 << 13 << "P13" << false;
    QTest::newRow("CR-only line ends") << QByteArray("#\th\tm\tproject\r\r1\t2\t3\tA\r2\t4\t5\tB\r") << 2 << 1 << 2 << 4
                                       << 5 << "B" << false;
    QTest::newRow("LF-only line ends") << QByteArray("#\th\tm\tproject\n\n1\t2\t3\tA\n2\t4\t5\tB\n") << 2 << 1 << 2 << 4
                                       << 5 << "B" << false;
    QTest::newRow("last line without end")
        << QByteArray("1\t2\t3\tA\r\n9\t8\t7\tZ") << 2 << 1 << 9 << 8 << 7 << "Z" << false;
    QTest::newRow("fields after the fourth ignored")
        << QByteArray("1\t2\t3\tName\textra\tmore") << 1 << 0 << 1 << 2 << 3 << "Name" << false;
    QTest::newRow("2.5 rounds to 2") << QByteArray("2.5\t3.5\t0.5\tR") << 1 << 0 << 2 << 4 << 0 << "R" << false;
    QTest::newRow("3.5 rounds to 4, -2.5 to -2")
        << QByteArray("-2.5\t3.5\t-3.5\tR") << 1 << 0 << -2 << 4 << -4 << "R" << false;
    QTest::newRow("past the half rounds up")
        << QByteArray("2.5000001\t2.4999\t.7\tR") << 1 << 0 << 3 << 2 << 1 << "R" << false;
    QTest::newRow("-32768 and 32767 fit")
        << QByteArray("-32768\t32767\t+00012.\tR") << 1 << 0 << -32768 << 32767 << 12 << "R" << false;
    QTest::newRow("32767.4 rounds into range")
        << QByteArray("32767.4\t-32768.5\t0\tR") << 1 << 0 << 32767 << -32768 << 0 << "R" << false;
    QTest::newRow("UTF-8 name") << QByteArray("1\t0\t0\tCaf\xc3\xa9 \xe2\x82\xac \xe6\x97\xa5") << 1 << 0 << 1 << 0 << 0
                                << QString::fromUtf8("Caf\xc3\xa9 \xe2\x82\xac \xe6\x97\xa5") << false;
    QTest::newRow("UTF-8 byte-order mark skipped")
        << QByteArray("\xef\xbb\xbf#\th\tm\tproject\r\n1\t2\t3\tA") << 1 << 0 << 1 << 2 << 3 << "A" << false;
    QTest::newRow("Windows-1252 name") << QByteArray("1\t0\t0\tCaf\xe9 \x80 \x93q\x94 \x81") << 1 << 0 << 1 << 0 << 0
                                       << QString::fromUtf8(
                                              "Caf\xc3\xa9 \xe2\x82\xac \xe2\x80\x9cq\xe2\x80\x9d \xc2\x81")
                                       << true;
}

void TestLedger::readsRecords() {
    QFETCH(QByteArray, bytes);
    QFETCH(int, count);
    QFETCH(int, index);
    const LedgerRead r = ParseLedger(bytes);
    QVERIFY2(r.ok, qPrintable(r.error));
    QCOMPARE(int(r.projects.size()), count);
    const ProjectRec& p = r.projects[std::size_t(index)];
    QTEST(int(p.number), "number");
    QTEST(int(p.hours), "hours");
    QTEST(int(p.minutes), "minutes");
    QTEST(p.name, "name");
    QTEST(r.legacyEncoding, "legacy");
}

void TestLedger::rejectsBadFiles_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("fault");

    QTest::newRow("empty file") << QByteArray() << "no project line";
    {
        const QString text = QStringLiteral("1\t2\t3\tAlpha\r\n");
        QByteArray le("\xff\xfe", 2);
        le.append(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
        QTest::newRow("UTF-16 with a byte order mark") << le << "the file is UTF-16 text (little-endian)";
        QByteArray be;
        for (QChar ch : text)
            be.append(char(ch.unicode() >> 8)).append(char(ch.unicode() & 0xff));
        QTest::newRow("UTF-16 big-endian without a mark") << be << "the file is UTF-16 text (big-endian)";
    }
    QTest::newRow("header and comments only") << QByteArray(Header + "# nothing\r\n\r\n") << "no project line";
    QTest::newRow("fewer than four fields") << QByteArray(Header + "1\t2\t3\r\n") << "line 3: fewer than four fields";
    QTest::newRow("a line of spaces") << QByteArray(Header + "1\t2\t3\tA\r\n   \r\n") << "line 4: fewer than four";
    QTest::newRow("leading TAB leaves the number empty")
        << QByteArray(Header + "\t1\t2\tA\r\n") << "line 3: the number field \"\" is not a number";
    QTest::newRow("letters") << QByteArray("1\t2\tabc\tA") << "line 1: the minutes field \"abc\" is not a number";
    QTest::newRow("sign alone") << QByteArray("-\t2\t3\tA") << "the number field \"-\" is not a number";
    QTest::newRow("two points") << QByteArray("1\t1.2.3\t3\tA") << "the hours field \"1.2.3\" is not a number";
    QTest::newRow("exponent") << QByteArray("1\t1e3\t3\tA") << "is not a number";
    QTest::newRow("32768 out of range") << QByteArray("# c\r\n\r\n1\t32768\t0\tA")
                                        << "line 3: the hours field \"32768\" is outside -32768 to 32767";
    QTest::newRow("-32769 out of range") << QByteArray("-32769\t0\t0\tA") << "outside -32768 to 32767";
    QTest::newRow("32767.5 rounds out of range") << QByteArray("1\t32767.5\t0\tA") << "outside -32768 to 32767";
    QTest::newRow("many digits") << QByteArray("1\t0000000000099999999999\t0\tA") << "outside -32768 to 32767";
    QTest::newRow("second record bad, CR ends") << QByteArray("1\t0\t0\tA\r2\tx\t0\tB") << "line 2: the hours field";
}

void TestLedger::rejectsBadFiles() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, fault);
    const LedgerRead r = ParseLedger(bytes);
    QVERIFY(!r.ok);
    QVERIFY2(r.error.contains(fault), qPrintable(r.error));
}

void TestLedger::writeThenReadTwelve() {
    std::vector<ProjectRec> twelve;
    const char* names[12] = {"Website", "Ünïcode ✓", "#hash",  "  spaced ", "",      "under_score",
                             "x",       "€uro",      "日本語", "-1",        "a b c", "Last one"};
    const int values[12][3] = {{1, 0, 0}, {2, 3, 7}, {3, 12, 45}, {4, 546, 59}, {5, 32767, 59}, {-6, -32768, 0},
                               {7, 0, 5}, {0, 1, 1}, {9, 100, 0}, {10, 0, 59},  {32767, 7, 7},  {-32768, 2, 2}};
    for (int i = 0; i < 12; ++i)
        twelve.push_back(Rec(values[i][0], values[i][1], values[i][2], QString::fromUtf8(names[i])));
    const QByteArray bytes = FormatLedger(twelve);
    QVERIFY(bytes.startsWith(Header));
    QVERIFY(bytes.endsWith("Last one\r\n"));
    const LedgerRead r = ParseLedger(bytes);
    QVERIFY2(r.ok, qPrintable(r.error));
    QCOMPARE(r.projects.size(), twelve.size());
    for (std::size_t i = 0; i < twelve.size(); ++i)
        QVERIFY2(Same(r.projects[i], twelve[i]), qPrintable(QString::number(i)));
    QCOMPARE(FormatLedger(r.projects), bytes);
}

void TestLedger::normalisesHandEditedFile() {
    const QByteArray edited = "# my projects\n"
                              "#\th\tm\tproject\r\n"
                              "\r\n"
                              "1\t\t\t 02 \t  7\tWebsite\textra\r\n"
                              "# paused\r"
                              "2\t_\t_\tmy_site\r\n"
                              "\r\n"
                              "3\t12.5\t44.5\tRounded\n"
                              "-4\t0\t-0\t\r\n"
                              "5\t+1\t00\tLast";
    const QByteArray expected = "#\th\tm\tproject\r\n"
                                "\r\n"
                                "1\t2\t7\tWebsite\r\n"
                                "2\t0\t0\tmy_site\r\n"
                                "3\t12\t44\tRounded\r\n"
                                "-4\t0\t0\t\r\n"
                                "5\t1\t0\tLast\r\n";
    const LedgerRead r = ParseLedger(edited);
    QVERIFY2(r.ok, qPrintable(r.error));
    QCOMPARE(FormatLedger(r.projects, r.legacyEncoding), expected);
}

void TestLedger::legacyFileKeepsItsBytes() {
    // Every byte from 0x80 up, undefined ones included, comes back exactly.
    QByteArray name;
    for (int b = 0x80; b <= 0xFF; ++b)
        name += char(b);
    const QByteArray file = Header + "1\t2\t3\t" + name + "\r\n2\t0\t0\tplain\r\n";
    const LedgerRead r = ParseLedger(file);
    QVERIFY2(r.ok, qPrintable(r.error));
    QVERIFY(r.legacyEncoding);
    QCOMPARE(r.projects[0].name.at(0), QChar(0x20AC));
    QCOMPARE(FormatLedger(r.projects, true), file);
}

void TestLedger::legacyFileMovesToUtf8ForNewLetters() {
    Harness h(Header + "1\t0\t0\tCaf\xe9\r\n2\t0\t0\tTwo\r\n");
    QVERIFY(h.start());
    QVERIFY(h.v->punch.legacyEncoding);
    QVERIFY(SaveProjects(*h.v));
    QCOMPARE(h.ledgerBytes(), Header + "1\t0\t0\tCaf\xe9\r\n2\t0\t0\tTwo\r\n");
    // A name the code page cannot hold: the file becomes UTF-8 as a whole, no letter is lost.
    h.v->punch.projects[1].name = QString::fromUtf8("T\xc5\x8dky\xc5\x8d");
    QVERIFY(SaveProjects(*h.v));
    QCOMPARE(h.ledgerBytes(), Header + "1\t0\t0\tCaf\xc3\xa9\r\n2\t0\t0\tT\xc5\x8dky\xc5\x8d\r\n");
    const LedgerRead back = ParseLedger(h.ledgerBytes());
    QVERIFY(!back.legacyEncoding);
    QCOMPARE(back.projects[0].name, QString::fromUtf8("Caf\xc3\xa9"));
}

void TestLedger::legacyCommentDroppedStaysReadable() {
    // The only byte that is not UTF-8 sits in a comment; the name's bytes C3 A9 are "Ã©" in the old
    // code page. Written back without the comment, they must not turn into "é".
    const LedgerRead r = ParseLedger("# M\xfcller\r\n1\t0\t0\tA\xc3\xa9\r\n");
    QVERIFY2(r.ok, qPrintable(r.error));
    QVERIFY(r.legacyEncoding);
    QCOMPARE(r.projects[0].name, QString::fromUtf8("A\xc3\x83\xc2\xa9"));
    const LedgerRead again = ParseLedger(FormatLedger(r.projects, true));
    QVERIFY(again.ok);
    QCOMPARE(again.projects[0].name, r.projects[0].name);
}

void TestLedger::suppliedLedgerIsNormalised() {
    const std::vector<ProjectRec> twelve = [] {
        std::vector<ProjectRec> out;
        for (int i = 1; i <= 12; ++i)
            out.push_back(Rec(i, 0, 0, QStringLiteral("Project %1").arg(i)));
        return out;
    }();
    QCOMPARE(SuppliedLedger(), FormatLedger(twelve));
}

void TestLedger::sanitisesTypedNames_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored");
    QTest::newRow("TAB") << "a\tb"
                         << "a b";
    QTest::newRow("CR LF") << "line\r\nbreak"
                           << "line  break";
    QTest::newRow("lone LF and CR") << "\nx\r"
                                    << " x ";
    QTest::newRow("other text untouched") << "Ünï_#c"
                                          << "Ünï_#c";
}

void TestLedger::sanitisesTypedNames() {
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    QCOMPARE(SanitiseName(typed), stored);
    // Whatever reached a record, the written file keeps one record per line and four fields.
    const QByteArray bytes = FormatLedger({Rec(1, 2, 3, typed), Rec(2, 0, 0, QStringLiteral("next"))});
    const LedgerRead r = ParseLedger(bytes);
    QVERIFY2(r.ok, qPrintable(r.error));
    QCOMPARE(int(r.projects.size()), 2);
    QCOMPARE(r.projects[0].name, stored);
}

void TestLedger::loadFailureEndsProgram_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("kind"); // 0 bytes as given, 1 no file, 2 a folder in its place
    QTest::addColumn<QString>("fault");
    QTest::newRow("missing file") << QByteArray() << 1 << "does not exist";
    QTest::newRow("cannot be opened") << QByteArray() << 2 << "cannot be opened";
    QTest::newRow("no record line") << QByteArray(Header + "# all commented\r\n") << 0 << "no project line";
    QTest::newRow("three fields") << QByteArray(Header + "1\t0\t0\tA\r\n2\t0\t0\r\n") << 0
                                  << "line 4: fewer than four fields";
    QTest::newRow("not a number") << QByteArray(Header + "1\tone\t0\tA\r\n") << 0
                                  << "line 3: the hours field \"one\" is not a number";
    QTest::newRow("out of range") << QByteArray(Header + "1\t0\t60000\tA\r\n") << 0
                                  << "line 3: the minutes field \"60000\" is outside";
}

void TestLedger::loadFailureEndsProgram() {
    QFETCH(QByteArray, bytes);
    QFETCH(int, kind);
    QFETCH(QString, fault);
    Harness h(bytes, kind == 0);
    if (kind == 2) QVERIFY(QDir(h.dir.path()).mkdir(QStringLiteral("vakto.dat")));
    QVERIFY(!h.start());
    QCOMPARE(h.dialogs.errors.size(), 1);
    const QString msg = h.dialogs.errors.first();
    QVERIFY2(msg.startsWith(QDir::toNativeSeparators(h.ledgerPath()) + QStringLiteral(": ")), qPrintable(msg));
    QVERIFY2(msg.contains(fault), qPrintable(msg));
    QVERIFY(h.window.ended);
    QVERIFY(h.window.status != 0);
    // Nothing afterwards writes the file: not a quit, not a punch.
    QuitProgram(*h.v);
    AddToProject(*h.v);
    if (kind == 0)
        QCOMPARE(h.ledgerBytes(), bytes);
    else
        QCOMPARE(QFileInfo(h.ledgerPath()).isFile(), false);
    QCOMPARE(QDir(h.dir.path()).entryList(QDir::Files | QDir::Hidden).size(), kind == 0 ? 1 : 0);
}

void TestLedger::failedSaveKeepsOldFile() {
    // Works as root too: a file-size limit makes every write past a few bytes fail with EFBIG.
    const QByteArray original = Header + "1\t1\t50\tAlpha\r\n2\t0\t0\tBeta\r\n";
    Harness h(original);
    QVERIFY(h.start());
    h.click({8 + 5, 33 + 5}); // project 1
    h.click({248 + 15, 20 + 107 + 15});
    h.v->punch.punchMinutes = 25;
    rlimit old{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &old), 0);
    rlimit tiny = old;
    tiny.rlim_cur = 16;
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &tiny), 0);
    h.click({248 + 15, 20 + 107 + 15}); // punch off: AddToProject saves
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    // Reported once, not fatal: the program runs on with the minutes in memory.
    QVERIFY(h.dialogs.errors.isEmpty());
    QCOMPARE(h.dialogs.warnings.size(), 1);
    const QString msg = h.dialogs.warnings.first();
    QVERIFY2(msg.contains(QStringLiteral("cannot be written")), qPrintable(msg));
    QVERIFY2(msg.contains(QStringLiteral("vakto.dat")), qPrintable(msg));
    QVERIFY2(msg.contains(QStringLiteral("File too large")), qPrintable(msg));
    QVERIFY(!h.window.ended);
    QCOMPARE(h.ledgerBytes(), original);
    QCOMPARE(QDir(h.dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1); // no temporary file left
    QCOMPARE(int(h.v->punch.projects[0].hours) * 60 + h.v->punch.projects[0].minutes, 110 + 25);
    // The next full minute tries again and succeeds; no second report.
    const QTime next = h.clock.t.time().addSecs(60 - h.clock.t.time().second());
    h.runTo(next.hour(), next.minute(), 0);
    QCOMPARE(h.dialogs.warnings.size(), 1);
    QVERIFY2(h.ledgerBytes().contains("1\t2\t15\tAlpha"), h.ledgerBytes().constData());
    QCOMPARE(QDir(h.dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

void TestLedger::handEditIsKept_data() {
    QTest::addColumn<QString>("how"); // what another program does to the file while Vakto runs
    QTest::addColumn<bool>("kept");   // a copy of their version is kept beside ours
    QTest::newRow("edited in place") << "write" << true;
    QTest::newRow("replaced by a rename, as sync tools do") << "rename" << true;
    QTest::newRow("only touched") << "touch" << false;
    QTest::newRow("deleted") << "delete" << false;
}

void TestLedger::handEditIsKept() {
    QFETCH(QString, how);
    QFETCH(bool, kept);
    const QByteArray original = Header + "1\t1\t50\tAlpha\r\n2\t0\t0\tBeta\r\n";
    const QByteArray theirs = Header + "1\t9\t0\tAlpha edited\r\n2\t0\t0\tBeta\r\n";
    Harness h(original);
    QVERIFY(h.start());
    QTest::qWait(20); // a later modification time than the start's
    if (how == QLatin1String("write") || how == QLatin1String("rename")) {
        const QString target = how == QLatin1String("write") ? h.ledgerPath() : h.ledgerPath() + QStringLiteral(".tmp");
        QFile f(target);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(theirs);
        f.close();
        if (how == QLatin1String("rename"))
            QVERIFY(::rename(QFile::encodeName(target), QFile::encodeName(h.ledgerPath())) == 0);
    } else if (how == QLatin1String("touch")) {
        QFile f(h.ledgerPath());
        QVERIFY(f.open(QIODevice::ReadWrite));
        QVERIFY(f.setFileTime(QDateTime::currentDateTime().addSecs(5), QFileDevice::FileModificationTime));
    } else {
        QVERIFY(QFile::remove(h.ledgerPath()));
    }
    h.press(ProjectButton(2));
    h.click(PunchButton);
    h.v->punch.punchMinutes = 5;
    h.click(PunchButton); // punch off: the save
    const QString expectedKept =
        h.ledgerPath() + QStringLiteral(".edited-") + h.clock.now().toString(QStringLiteral("yyyy-MM-dd-HHmmss"));
    QCOMPARE(QFileInfo::exists(expectedKept), kept);
    QCOMPARE(h.dialogs.warnings.size(), kept ? 1 : 0);
    if (kept) {
        QFile f(expectedKept);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), theirs);
        QVERIFY2(h.dialogs.warnings.first().contains(QDir::toNativeSeparators(expectedKept)),
                 qPrintable(h.dialogs.warnings.first()));
    }
    QVERIFY2(h.ledgerBytes().contains("2\t0\t5\tBeta"), h.ledgerBytes().constData());
    // Ours from now on: the next save keeps nothing more and says nothing more.
    h.press(ProjectButton(2));
    h.press(ProjectButton(1));
    h.click(PunchButton);
    h.v->punch.punchMinutes = 1;
    h.click(PunchButton);
    QCOMPARE(h.dialogs.warnings.size(), kept ? 1 : 0);
    QCOMPARE(QDir(h.dir.path()).entryList(QDir::Files | QDir::Hidden).size(), kept ? 2 : 1);
}

void TestLedger::killedSaveLeavesWholeFile() {
    constexpr int Kills = 200;
    QTemporaryDir dir;
    const QByteArray bytesA = FormatLedger(LoopLedger(0));
    const QByteArray bytesB = FormatLedger(LoopLedgerPunched());
    const QString path = dir.path() + QStringLiteral("/vakto.dat");
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytesA);
    }
    int seenA = 0;
    int seenB = 0;
    for (int round = 0; round < Kills; ++round) {
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--save-loop"), dir.path()});
        QVERIFY(child.waitForStarted(5000));
        QVERIFY2(child.waitForReadyRead(10000), "the saving child never finished a save");
        const auto saveMicros = std::max<qint64>(child.readLine().trimmed().toLongLong(), 100);
        QThread::usleep(QRandomGenerator::global()->bounded(quint32(4 * saveMicros)));
        child.kill(); // SIGKILL: no handler, no flush, no clean-up
        QVERIFY(child.waitForFinished(5000));
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray now = f.readAll();
        QVERIFY2(now == bytesA || now == bytesB,
                 qPrintable(QStringLiteral("torn file after kill %1: %2 bytes").arg(round).arg(now.size())));
        (now == bytesA ? seenA : seenB)++;
        QVERIFY(ParseLedger(now).ok);
        // Temporary files of killed saves are left over; clear them so each round starts alike.
        for (const QString& stray : QDir(dir.path()).entryList(QDir::Files | QDir::Hidden))
            if (stray != QLatin1String("vakto.dat")) QFile::remove(dir.path() + QLatin1Char('/') + stray);
    }
    qInfo("after %d kills: %d times the first ledger, %d times the second", Kills, seenA, seenB);
    QVERIFY(seenA > 0 && seenB > 0);
}

void TestLedger::choosesFiles_data() {
    // Paths relative to a private root: "bin" is the program folder, "home/.local/share" the
    // user's data folder. Files are "path=content" with content one of the ledgers below, "path/"
    // for a folder, "path/:777" for a folder of that mode, or "path->target" for a symbolic link.
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<bool>("readOnly"); // the program folder cannot be written
    QTest::addColumn<QString>("dataFolder");
    QTest::addColumn<QString>("ledger");
    QTest::addColumn<QString>("seed");
    QTest::addColumn<QString>("result"); // the ledger in use after start-up, or "error: <fault>"
    QTest::addColumn<QString>("lock");   // "" for none
    // $XDG_RUNTIME_DIR: "private" (mode 700), "shared" (777), "" (unset) or a path as it is.
    QTest::addColumn<QString>("runtime");
    QTest::addColumn<QString>("socket"); // "runtime", "ledger" (beside the lock) or "" (none)
    const QString user = QStringLiteral("home/.local/share/vakto/vakto.dat");
    const QString userLock = QStringLiteral("home/.local/share/vakto/.vakto.dat.lock");
    const QString binLock = QStringLiteral("bin/.vakto.dat.lock");
    QTest::newRow("portable and writable: the ledger beside the program")
        << QStringList{"bin/vakto.dat=own", "bin/wav/", "share/vakto/vakto.dat=supplied"} << false << "bin"
        << "bin/vakto.dat"
        << ""
        << "own" << binLock << "private"
        << "runtime";
    QTest::newRow("portable but read-only: the user's ledger, seeded from the program's")
        << QStringList{"bin/vakto.dat=own", "bin/wav/"} << true << "bin" << user << "bin/vakto.dat"
        << "own" << userLock << "private"
        << "runtime";
    QTest::newRow("installed: the user's ledger, seeded from share/vakto")
        << QStringList{"share/vakto/vakto.dat=supplied", "share/vakto/wav/"} << false << "share/vakto" << user
        << "share/vakto/vakto.dat"
        << "supplied" << userLock << "private"
        << "runtime";
    QTest::newRow("installed without a supplied ledger: the built-in records")
        << QStringList{"share/vakto/wav/"} << false << "share/vakto" << user << ""
        << "default" << userLock << "private"
        << "runtime";
    QTest::newRow("nothing anywhere: the built-in records, the sound beside the program")
        << QStringList{} << false << "bin" << user << ""
        << "default" << userLock << "private"
        << "runtime";
    QTest::newRow("later starts: the user's ledger stays as it is")
        << QStringList{"share/vakto/vakto.dat=supplied", "home/.local/share/vakto/vakto.dat=own"} << false
        << "share/vakto" << user << "share/vakto/vakto.dat"
        << "own" << userLock << "private"
        << "runtime";
    QTest::newRow("a broken supplied ledger is reported, no ledger is created")
        << QStringList{"share/vakto/vakto.dat=broken"} << false << "share/vakto" << user << "share/vakto/vakto.dat"
        << "error: share/vakto/vakto.dat: line 3: the hours field" << userLock << "private"
        << "runtime";
    QTest::newRow("the data folder cannot be made: no lock")
        << QStringList{"share/vakto/vakto.dat=supplied", "home/.local/share=own"} << false << "share/vakto" << user
        << "share/vakto/vakto.dat"
        << "error: vakto/vakto.dat: the project file cannot be created"
        << ""
        << "private"
        << "";
    QTest::newRow("a linked data folder: the lock of the real one")
        << QStringList{"real/vakto/vakto.dat=own", "home/.local/", "home/.local/share->real"} << false << "bin" << user
        << ""
        << "own"
        << "real/vakto/.vakto.dat.lock"
        << "private"
        << "runtime";
    QTest::newRow("a ledger linked to another file: the lock of the target")
        << QStringList{"elsewhere/mine.dat=own", "home/.local/share/vakto/vakto.dat->elsewhere/mine.dat"} << false
        << "bin" << user << ""
        << "own"
        << "elsewhere/.mine.dat.lock"
        << "private"
        << "runtime";
    QTest::newRow("a link to a ledger not made yet: seeded at the target, its lock")
        << QStringList{"share/vakto/vakto.dat=supplied", "elsewhere/",
                       "home/.local/share/vakto/vakto.dat->elsewhere/mine.dat"}
        << false << "share/vakto" << user << "share/vakto/vakto.dat"
        << "supplied"
        << "elsewhere/.mine.dat.lock"
        << "private"
        << "runtime";
    QTest::newRow("no runtime folder: the socket beside the ledger")
        << QStringList{"share/vakto/wav/"} << false << "share/vakto" << user << ""
        << "default" << userLock << ""
        << "ledger";
    QTest::newRow("a runtime folder others can write: beside the ledger")
        << QStringList{"share/vakto/wav/"} << false << "share/vakto" << user << ""
        << "default" << userLock << "shared"
        << "ledger";
    QTest::newRow("/tmp as the runtime folder: beside the ledger")
        << QStringList{"share/vakto/wav/"} << false << "share/vakto" << user << ""
        << "default" << userLock << "/tmp"
        << "ledger";
    QTest::newRow("no private folder at all: no socket")
        << QStringList{"home/.local/share/vakto/:777", "home/.local/share/vakto/vakto.dat=own"} << false << "bin"
        << user << ""
        << "own" << userLock << "shared"
        << "";
    const QString deep = QStringLiteral("deep/") + QString(100, QLatin1Char('d'));
    QTest::newRow("the ledger's folder too deep for a socket path: the runtime folder")
        << QStringList{deep + "/", "home/.local/", "home/.local/share->" + deep} << false << "bin" << user << ""
        << "default" << deep + "/vakto/.vakto.dat.lock"
        << "private"
        << "runtime";
    QTest::newRow("too deep, and no runtime folder: no socket")
        << QStringList{deep + "/", "home/.local/", "home/.local/share->" + deep} << false << "bin" << user << ""
        << "default" << deep + "/vakto/.vakto.dat.lock"
        << ""
        << "";
}

void TestLedger::choosesFiles() {
    QFETCH(QStringList, files);
    QFETCH(bool, readOnly);
    QFETCH(QString, dataFolder);
    QFETCH(QString, ledger);
    QFETCH(QString, seed);
    QFETCH(QString, result);
    QFETCH(QString, lock);
    QFETCH(QString, runtime);
    QFETCH(QString, socket);
    const QMap<QString, QByteArray> contents{
        {QStringLiteral("own"), Header + "1\t7\t5\tOwn\r\n"},
        {QStringLiteral("supplied"), Header + "1\t0\t0\tSupplied\r\n2\t0\t0\tTwo\r\n"},
        {QStringLiteral("broken"), Header + "1\tx\t0\tBroken\r\n"},
        {QStringLiteral("default"), SuppliedLedger()},
    };
    QTemporaryDir tmp;
    const QString root = QFileInfo(tmp.path()).canonicalFilePath() + QStringLiteral("/");
    QVERIFY(QDir().mkpath(root + QStringLiteral("bin")));
    ReadOnlyFolder ro(root + QStringLiteral("bin"));
    for (const QString& entry : files) {
        if (entry.contains(QLatin1String("->"))) {
            const QString link = root + entry.section(QLatin1String("->"), 0, 0);
            QVERIFY(QDir().mkpath(QFileInfo(link).absolutePath()));
            QVERIFY(QFile::link(root + entry.section(QLatin1String("->"), 1), link));
            continue;
        }
        const QString path = root + entry.section(QLatin1Char('='), 0, 0);
        if (path.contains(QLatin1String("/:"))) {
            QVERIFY(QDir().mkpath(path.section(QLatin1String("/:"), 0, 0)));
            QCOMPARE(::chmod(QFile::encodeName(path.section(QLatin1String("/:"), 0, 0)).constData(),
                             mode_t(path.section(QLatin1String("/:"), 1).toUInt(nullptr, 8))),
                     0);
            continue;
        }
        if (path.endsWith(QLatin1Char('/'))) {
            QVERIFY(QDir().mkpath(path));
            continue;
        }
        QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(contents.value(entry.section(QLatin1Char('='), 1)));
    }
    if (readOnly) {
        ro.seal();
        if (!ro.ok) QSKIP("cannot make a read-only folder here");
    }
    const QMap<QString, QByteArray> before = Snapshot(root + QStringLiteral("bin"));
    const QMap<QString, QByteArray> shareBefore = Snapshot(root + QStringLiteral("share"));
    QString runtimeDir = runtime;
    if (runtime == QLatin1String("private") || runtime == QLatin1String("shared")) {
        runtimeDir = root + QStringLiteral("run");
        QVERIFY(QDir().mkpath(runtimeDir));
        QCOMPARE(::chmod(QFile::encodeName(runtimeDir).constData(), runtime == QLatin1String("private") ? 0700 : 0777),
                 0);
    }
    const auto entries = [&] {
        QStringList out;
        QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext())
            out << it.next();
        return out;
    };
    const QStringList beforeChoosing = entries();

    const QString dataHome = root + QStringLiteral("home/.local/share");
    FileLayout f = ChooseFiles(root + QStringLiteral("bin"), dataHome);
    QCOMPARE(entries(), beforeChoosing); // choosing changes nothing
    QCOMPARE(f.programFolder, root + QStringLiteral("bin"));
    QCOMPARE(f.dataFolder, root + dataFolder);
    QCOMPARE(f.ledger, root + ledger);
    QCOMPARE(f.seed, seed.isEmpty() ? QString() : root + seed);
    QCOMPARE(f.perUser, ledger != QLatin1String("bin/vakto.dat"));

    // The lock goes beside the file the ledger resolves to; a user's data folder is made for it,
    // every new folder private.
    const QString why = ResolveLock(f, runtimeDir);
    QCOMPARE(why.isEmpty(), !lock.isEmpty());
    QCOMPARE(f.lock, lock.isEmpty() ? QString() : root + lock);
    for (QString folder = QFileInfo(f.ledger).absolutePath(); folder.size() > root.size();
         folder = QFileInfo(folder).absolutePath()) {
        struct stat st {};
        if (beforeChoosing.contains(QFileInfo(folder).canonicalFilePath()) ||
            ::lstat(QFile::encodeName(folder).constData(), &st) != 0)
            continue;
        QVERIFY2(S_ISDIR(st.st_mode) && (st.st_mode & 0777) == 0700, qPrintable(folder));
    }
    // The second-start socket only in a private folder, never in the shared temporary folder.
    if (socket == QLatin1String("runtime"))
        QVERIFY2(f.socket.startsWith(runtimeDir + QStringLiteral("/vakto-")), qPrintable(f.socket));
    else if (socket == QLatin1String("ledger"))
        QCOMPARE(f.socket, f.lock.chopped(5) + QStringLiteral(".socket"));
    else
        QCOMPARE(f.socket, QString());
    QVERIFY(QFileInfo(f.socket).absolutePath() != QDir::tempPath());
    QVERIFY(f.socket.isEmpty() || f.socket != f.lock);
    // Every path to this ledger leads to the same lock and socket; another ledger to others.
    if (f.perUser && !f.lock.isEmpty()) {
        FileLayout real = ChooseFiles(root + QStringLiteral("bin"), QFileInfo(dataHome).canonicalFilePath());
        QVERIFY(real.ledger != f.ledger || !QFileInfo(dataHome).isSymLink());
        QCOMPARE(ResolveLock(real, runtimeDir), QString());
        QCOMPARE(real.lock, f.lock);
        QCOMPARE(real.socket, f.socket);
        FileLayout other = ChooseFiles(root + QStringLiteral("bin"), root + QStringLiteral("other"));
        QCOMPARE(ResolveLock(other, runtimeDir), QString());
        QVERIFY(other.lock != f.lock && (other.socket != f.socket || f.socket.isEmpty()));
    }

    const bool linkedLedger = QFileInfo(root + ledger).isSymLink();
    FakeCore c(f.programFolder);
    UseFiles(c.v, f);
    const bool started = Startup(c.v);
    if (result.startsWith(QLatin1String("error: "))) {
        QVERIFY(!started);
        QCOMPARE(c.dialogs.errors.size(), 1);
        QVERIFY2(c.dialogs.errors.first().contains(result.mid(7)), qPrintable(c.dialogs.errors.first()));
        QVERIFY(c.window.status != 0);
        QVERIFY(!QFileInfo::exists(root + ledger));
    } else {
        QVERIFY2(started, qPrintable(c.dialogs.errors.join(QLatin1Char('\n'))));
        QFile in(root + ledger);
        QVERIFY(in.open(QIODevice::ReadOnly));
        QCOMPARE(in.readAll(), contents.value(result));
        // Punched minutes go to the ledger in use.
        const int minutes = c.v.punch.projects[0].hours * 60 + c.v.punch.projects[0].minutes;
        c.v.punch.currentProject = 1;
        c.v.punch.punchMinutes = 3;
        AddToProject(c.v);
        in.close();
        QVERIFY(in.open(QIODevice::ReadOnly));
        const LedgerRead back = ParseLedger(in.readAll());
        QVERIFY(back.ok);
        QCOMPARE(back.projects[0].hours * 60 + back.projects[0].minutes, minutes + 3);
        // A save replaces the file a link leads to, which its lock guards, and keeps the link.
        QCOMPARE(QFileInfo(root + ledger).isSymLink(), linkedLedger);
        // The ring plays the sound of the data folder.
        SoundAlarm(c.v);
        QCOMPARE(c.sound.played.value(0), root + dataFolder + QStringLiteral("/wav/alarm.wav"));
    }
    if (f.perUser) {
        QCOMPARE(Snapshot(root + QStringLiteral("bin")), before);
        QCOMPARE(Snapshot(root + QStringLiteral("share")), shareBefore);
    }
}

int main(int argc, char** argv) {
    if (argc == 3 && qstrcmp(argv[1], "--save-loop") == 0) return SaveLoop(QString::fromLocal8Bit(argv[2]));
    QCoreApplication app(argc, argv);
    TestLedger t;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&t, argc, argv);
}

#include "test_ledger.moc"
