// The program's folders depend one way: a folder includes only itself and the folders below it.
// This reads the sources' `#include "..."` lines and names every include that reaches up.
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QtTest>

namespace {

// The order of the program's folders, bottom first: model/ holds the element model, the depot, the
// time texts, the ports and the state record; platform/ wraps what the kernel offers (the wall-clock
// timer) and knows nothing of the program; app/ is the top (start-up, the tick, quitting, the
// shell's windows). A call that must go up is passed down as a port or a callback instead.
const QStringList FolderOrder =
    QStringLiteral("model platform clockface digits tray alarm punch about app").split(QLatin1Char(' '));

QString sourceDir() {
    return QStringLiteral(VAKTO_SOURCE_DIR);
}

// "file:line: problem" for every include of `folder`'s sources that leaves the order or climbs it.
QStringList upwardIncludes(const QString& folder) {
    static const QRegularExpression include(QStringLiteral(R"re(^\s*#\s*include\s*"([^"]*)")re"));
    const int rank = FolderOrder.indexOf(folder);
    QStringList found;
    QDirIterator it(sourceDir() + QLatin1Char('/') + folder, {QStringLiteral("*.cpp"), QStringLiteral("*.h")},
                    QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) {
            found << path + QStringLiteral(": cannot be read");
            continue;
        }
        const QString name = path.mid(sourceDir().size() + 1);
        int number = 0;
        while (!f.atEnd()) {
            ++number;
            const QRegularExpressionMatch m = include.match(QString::fromUtf8(f.readLine()));
            if (!m.hasMatch()) continue;
            const QString target = m.captured(1);
            // Without a folder the include is the file's own neighbour.
            const int slash = target.indexOf(QLatin1Char('/'));
            if (slash < 0) continue;
            const int targetRank = FolderOrder.indexOf(target.left(slash));
            const QString where = QStringLiteral("%1:%2: includes \"%3\"").arg(name).arg(number).arg(target);
            if (targetRank < 0)
                found << where + QStringLiteral(", which is not a folder of the program");
            else if (targetRank > rank)
                found << where + QStringLiteral(", and %1/ lies above %2/").arg(target.left(slash), folder);
        }
    }
    return found;
}

} // namespace

class TestLayout : public QObject {
    Q_OBJECT

private slots:
    void includesGoDown_data();
    void includesGoDown();
    void everyProgramFolderHasItsPlace();
};

void TestLayout::includesGoDown_data() {
    QTest::addColumn<QString>("folder");
    for (const QString& folder : FolderOrder)
        QTest::newRow(qPrintable(folder)) << folder;
}

void TestLayout::includesGoDown() {
    QFETCH(QString, folder);
    QVERIFY2(QDir(sourceDir() + QLatin1Char('/') + folder).exists(),
             qPrintable(folder + QStringLiteral("/ is missing")));
    const QStringList found = upwardIncludes(folder);
    QVERIFY2(found.isEmpty(), qPrintable(found.join(QLatin1Char('\n'))));
}

void TestLayout::everyProgramFolderHasItsPlace() {
    // A folder whose CMakeLists adds sources to the program's libraries is a folder of the program,
    // and the order above must say where it stands.
    static const QRegularExpression adds(QStringLiteral(R"(target_sources\s*\(\s*vakto_(core|ui)\b)"));
    QStringList programFolders;
    const QFileInfoList dirs = QDir(sourceDir()).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QFileInfo& dir : dirs) {
        QFile lists(dir.filePath() + QStringLiteral("/CMakeLists.txt"));
        if (lists.open(QIODevice::ReadOnly | QIODevice::Text) &&
            adds.match(QString::fromUtf8(lists.readAll())).hasMatch())
            programFolders << dir.fileName();
    }
    QStringList misplaced;
    for (const QString& folder : programFolders)
        if (!FolderOrder.contains(folder)) misplaced << folder + QStringLiteral("/ has no place in the order");
    for (const QString& folder : FolderOrder)
        if (!programFolders.contains(folder)) misplaced << folder + QStringLiteral("/ adds no sources to the program");
    QVERIFY2(misplaced.isEmpty(), qPrintable(misplaced.join(QLatin1Char('\n'))));
}

QTEST_GUILESS_MAIN(TestLayout)
#include "test_layout.moc"
