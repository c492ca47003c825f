// Replays the fuzzer's seed corpus and every crash input it ever found: each must be refused
// with a message or read into records that survive a write and a second read unchanged.

#include "punch/ledger.h"

#include <QDir>
#include <QtTest>

class TestFuzzCorpus : public QObject {
    Q_OBJECT
private slots:
    void replay_data();
    void replay();
};

void TestFuzzCorpus::replay_data() {
    QTest::addColumn<QString>("path");
    for (const char* sub : {"corpus", "regressions"}) {
        const QDir dir(QStringLiteral(VAKTO_SOURCE_DIR "/tests/fuzz/") + QLatin1String(sub));
        for (const QFileInfo& f : dir.entryInfoList(QDir::Files))
            QTest::newRow(qPrintable(QLatin1String(sub) + QLatin1Char('/') + f.fileName())) << f.filePath();
    }
}

void TestFuzzCorpus::replay() {
    QFETCH(QString, path);
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const LedgerRead first = ParseLedger(f.readAll());
    if (!first.ok) {
        QVERIFY2(!first.error.isEmpty(), "a refusal must say why");
        return;
    }
    const LedgerRead again = ParseLedger(FormatLedger(first.projects, first.legacyEncoding));
    QVERIFY(again.ok);
    QCOMPARE(again.projects.size(), first.projects.size());
    for (std::size_t i = 0; i < first.projects.size(); ++i) {
        QCOMPARE(again.projects[i].number, first.projects[i].number);
        QCOMPARE(again.projects[i].hours, first.projects[i].hours);
        QCOMPARE(again.projects[i].minutes, first.projects[i].minutes);
        QCOMPARE(again.projects[i].name, first.projects[i].name);
    }
}

QTEST_MAIN(TestFuzzCorpus)
#include "test_fuzz_corpus.moc"
