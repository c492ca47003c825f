// The punch clock, the project buttons and the description line, driven through the window's
// pointer routing with a fake clock; the ledger file on disk is checked after each change.
#include "app/startup.h"
#include "punch/ledger.h"
#include "punch/punch.h"
#include "tests/support/harness.h"

#include <QtTest>

namespace {

const QByteArray Header = "#\th\tm\tproject\r\n\r\n";
const QPoint DescriptionLabel{40, 177};
const QPoint ConfirmButton{96, 177};
const QPoint HeaderX{298 + 10, 8};

// The three punch digits as "h t u", blank shown as "-".
QString Digits(const Vakto& v) {
    QStringList out;
    for (int i = 2; i <= 4; ++i) {
        const PicRef p = v.main.imgSet[std::size_t(i)].pic;
        if (p.strip != Strip::imgSet)
            out << QStringLiteral("?");
        else
            out << (p.index == DigitBlank ? QStringLiteral("-") : QString::number(p.index));
    }
    return out.join(QLatin1Char(' '));
}

// Which project buttons show their pressed picture, as "3" or "3,5"; every other one must be released.
QString Pressed(const Vakto& v) {
    QStringList out;
    for (int k = 1; k <= 12; ++k) {
        const PicRef p = v.main.imgPunchUp[std::size_t(k)].pic;
        if (p == PicRef{Strip::imgPunchDn, std::int16_t(k)})
            out << QString::number(k);
        else if (p != PicRef{Strip::imgPunchUp, std::int16_t(k)})
            out << QStringLiteral("bad%1").arg(k);
    }
    return out.join(QLatin1Char(','));
}

ProjectRec OnDisk(const Harness& h, int k) {
    const LedgerRead r = ParseLedger(h.ledgerBytes());
    if (!r.ok || k > int(r.projects.size())) return {};
    return r.projects[std::size_t(k - 1)];
}

QByteArray Ledger(int records, int hours = 0, int minutes = 0) {
    QByteArray out = Header;
    for (int i = 1; i <= records; ++i)
        out += QByteArray::number(i) + '\t' + QByteArray::number(hours) + '\t' + QByteArray::number(minutes) +
               "\tProject " + QByteArray::number(i) + "\r\n";
    return out;
}

} // namespace

class TestPunch : public QObject {
    Q_OBJECT
private slots:
    void startsOff();
    void adjustPunch_data();
    void adjustPunch();
    void showPunchMinutes_data();
    void showPunchMinutes();
    void addToProject_data();
    void addToProject();
    void sayProjectTime_data();
    void sayProjectTime();
    void projectButtonsFormOneGroup();
    void projectButtonsIgnoredWhilePunching();
    void shortLedgerButtons();
    void editorCommitResetsTime();
    void editorOnlyOpensWhileOff();
    void commitWithoutSelectionKeepsText();
    void punchedMinutesReachTheFile();
    void firstMinuteComesAtTheNextFullMinute();
    void onAndOffInOneMinute_data();
    void onAndOffInOneMinute();
    void quitKeepsPunchedMinutes_data();
    void quitKeepsPunchedMinutes();
    void minutesAcrossGaps_data();
    void minutesAcrossGaps();
};

void TestPunch::startsOff() {
    Harness h;
    QVERIFY(h.start());
    QCOMPARE(h.v->punch.punchMinutes, PunchOff);
    QCOMPARE(h.v->punch.currentProject, std::int16_t(0));
    QCOMPARE(h.v->main.imgPunch.pic, (PicRef{Strip::imgPunch, 0}));
    QCOMPARE(Digits(*h.v), QStringLiteral("- - -"));
    QCOMPARE(Pressed(*h.v), QString());
    QVERIFY(!h.v->main.lblDescription.visible && !h.v->main.lblDescLeft.visible);
    QVERIFY(!h.v->main.txtDescription.visible && !h.v->main.imgDescription.visible);
    QCOMPARE(int(h.v->punch.projects.size()), 12);
    QVERIFY(h.dialogs.messages.isEmpty());
}

void TestPunch::adjustPunch_data() {
    QTest::addColumn<int>("before");
    QTest::addColumn<int>("n");
    QTest::addColumn<int>("after");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("digits");
    const QString why1 = QStringLiteral("Punchin is off, so why increase?");
    const QString why2 = QStringLiteral("Punchin is already off, so why off?");
    QTest::newRow("off, 0 switches on") << 9999 << 0 << 0 << ""
                                        << "- - 0";
    QTest::newRow("off, 1 is refused") << 9999 << 1 << 9999 << why1 << "- - -";
    QTest::newRow("off, 9999 is refused") << 9999 << 9999 << 9999 << why2 << "- - -";
    QTest::newRow("off, 5 does nothing") << 9999 << 5 << 9999 << ""
                                         << "- - -";
    QTest::newRow("on, 9999 switches off") << 45 << 9999 << 9999 << ""
                                           << "- - -";
    QTest::newRow("on, 1 adds a minute") << 45 << 1 << 46 << ""
                                         << "- 4 6";
    QTest::newRow("on, 0 does nothing") << 45 << 0 << 45 << ""
                                        << "- 4 5";
    QTest::newRow("on, -1 does nothing") << 45 << -1 << 45 << ""
                                         << "- 4 5";
    QTest::newRow("on, 998 to 999") << 998 << 1 << 999 << ""
                                    << "9 9 9";
    QTest::newRow("on, 999 to 1000 shows 999") << 999 << 1 << 1000 << ""
                                               << "9 9 9";
    QTest::newRow("on, 9997 to 9998") << 9997 << 1 << 9998 << ""
                                      << "9 9 9";
    QTest::newRow("on, 9998 stays on at 9998") << 9998 << 1 << 9998 << ""
                                               << "9 9 9";
}

void TestPunch::adjustPunch() {
    QFETCH(int, before);
    QFETCH(int, n);
    QFETCH(int, after);
    QFETCH(QString, message);
    Harness h;
    QVERIFY(h.start());
    if (before != PunchOff) {
        AdjustPunch(*h.v, 0);
        h.v->punch.punchMinutes = std::int16_t(before);
        ShowPunchMinutes(*h.v);
    }
    AdjustPunch(*h.v, std::int16_t(n));
    QCOMPARE(int(h.v->punch.punchMinutes), after);
    QCOMPARE(h.dialogs.messages, message.isEmpty() ? QStringList() : QStringList{message});
    QCOMPARE(h.v->main.imgPunch.pic, (PicRef{Strip::imgPunch, std::int16_t(after == PunchOff ? 0 : 1)}));
    QTEST(Digits(*h.v), "digits");
}

void TestPunch::showPunchMinutes_data() {
    QTest::addColumn<int>("minutes");
    QTest::addColumn<QString>("digits");
    QTest::newRow("0 alone") << 0 << "- - 0";
    QTest::newRow("7") << 7 << "- - 7";
    QTest::newRow("10 keeps its zero") << 10 << "- 1 0";
    QTest::newRow("45") << 45 << "- 4 5";
    QTest::newRow("100") << 100 << "1 0 0";
    QTest::newRow("105") << 105 << "1 0 5";
    QTest::newRow("999") << 999 << "9 9 9";
    QTest::newRow("1099 held at 999") << 1099 << "9 9 9";
    QTest::newRow("5000 held at 999") << 5000 << "9 9 9";
}

void TestPunch::showPunchMinutes() {
    QFETCH(int, minutes);
    Harness h;
    QVERIFY(h.start());
    h.v->punch.punchMinutes = std::int16_t(minutes);
    ShowPunchMinutes(*h.v);
    QTEST(Digits(*h.v), "digits");
}

void TestPunch::addToProject_data() {
    QTest::addColumn<int>("hours");
    QTest::addColumn<int>("minutes");
    QTest::addColumn<int>("punched");
    QTest::addColumn<int>("newHours");
    QTest::addColumn<int>("newMinutes");
    QTest::addColumn<QString>("line");
    QTest::newRow("1:50 plus 25") << 1 << 50 << 25 << 2 << 15 << "Project 1 [2:15]";
    QTest::newRow("0:59 plus 1") << 0 << 59 << 1 << 1 << 0 << "Project 1 [1:00]";
    QTest::newRow("0:00 plus 0") << 0 << 0 << 0 << 0 << 0 << "Project 1 [0:00]";
    QTest::newRow("0:30 plus 30") << 0 << 30 << 30 << 1 << 0 << "Project 1 [1:00]";
    QTest::newRow("0:10 plus 5") << 0 << 10 << 5 << 0 << 15 << "Project 1 [0:15]";
    QTest::newRow("546:10 plus 5, past 16 bits") << 546 << 10 << 5 << 546 << 15 << "Project 1 [546:15]";
    QTest::newRow("600:00 plus 9998") << 600 << 0 << 9998 << 766 << 38 << "Project 1 [766:38]";
    QTest::newRow("32767:59 plus 1 stops") << 32767 << 59 << 1 << 32767 << 59 << "Project 1 [32767:59]";
    QTest::newRow("32767:00 plus 9998 stops") << 32767 << 0 << 9998 << 32767 << 59 << "Project 1 [32767:59]";
    QTest::newRow("75 minutes in the file") << 1 << 75 << 0 << 2 << 15 << "Project 1 [2:15]";
    QTest::newRow("negative minutes in the file") << 1 << -30 << 0 << 0 << 30 << "Project 1 [0:30]";
}

void TestPunch::addToProject() {
    QFETCH(int, hours);
    QFETCH(int, minutes);
    QFETCH(int, punched);
    QFETCH(int, newHours);
    QFETCH(int, newMinutes);
    QFETCH(QString, line);
    // A hand-edited file: the save rewrites it normalised even when nothing was added.
    const QByteArray file = "# edited by hand\r\n1\t" + QByteArray::number(hours) + "\t" + QByteArray::number(minutes) +
                            "\tProject 1\r\n2\t0\t0\tProject 2\r\n";
    Harness h(file);
    QVERIFY(h.start());
    h.press(ProjectButton(1));
    AdjustPunch(*h.v, 0);
    h.v->punch.punchMinutes = std::int16_t(punched);
    AddToProject(*h.v);
    QCOMPARE(int(h.v->punch.projects[0].hours), newHours);
    QCOMPARE(int(h.v->punch.projects[0].minutes), newMinutes);
    QCOMPARE(h.v->main.lblDescription.text, line);
    const QByteArray expected = Header + "1\t" + QByteArray::number(newHours) + "\t" + QByteArray::number(newMinutes) +
                                "\tProject 1\r\n2\t0\t0\tProject 2\r\n";
    QCOMPARE(h.ledgerBytes(), expected);
    QVERIFY(h.dialogs.errors.isEmpty());
}

void TestPunch::sayProjectTime_data() {
    QTest::addColumn<int>("hours");
    QTest::addColumn<int>("minutes");
    QTest::addColumn<QString>("said");
    QTest::newRow("3:07") << 3 << 7 << " [3:07]";
    QTest::newRow("12:45") << 12 << 45 << " [12:45]";
    QTest::newRow("0:00") << 0 << 0 << " [0:00]";
    QTest::newRow("hours without a leading zero") << 5 << 10 << " [5:10]";
    QTest::newRow("large hours") << 32767 << 59 << " [32767:59]";
}

void TestPunch::sayProjectTime() {
    QFETCH(int, hours);
    QFETCH(int, minutes);
    Harness h(Ledger(3));
    QVERIFY(h.start());
    h.v->punch.projects[1].hours = std::int16_t(hours);
    h.v->punch.projects[1].minutes = std::int16_t(minutes);
    QTEST(SayProjectTime(*h.v, 1), "said");
    QCOMPARE(SayProjectTime(*h.v, 3), QString()); // no such record
    QCOMPARE(SayProjectTime(*h.v, -1), QString());
}

void TestPunch::projectButtonsFormOneGroup() {
    Harness h(Ledger(12, 3, 7));
    QVERIFY(h.start());
    h.press(ProjectButton(3));
    QCOMPARE(Pressed(*h.v), QStringLiteral("3"));
    QCOMPARE(h.v->punch.currentProject, std::int16_t(3));
    QVERIFY(h.v->main.lblDescription.visible && h.v->main.lblDescLeft.visible);
    QCOMPARE(h.v->main.lblDescription.text, QStringLiteral("Project 3 [3:07]"));
    h.release(ProjectButton(3)); // only the press acts
    QCOMPARE(Pressed(*h.v), QStringLiteral("3"));
    h.click(ProjectButton(5));
    QCOMPARE(Pressed(*h.v), QStringLiteral("5"));
    QCOMPARE(h.v->main.lblDescription.text, QStringLiteral("Project 5 [3:07]"));
    h.click(ProjectButton(5));
    QCOMPARE(Pressed(*h.v), QString());
    QCOMPARE(h.v->punch.currentProject, std::int16_t(0));
    QVERIFY(!h.v->main.lblDescription.visible && !h.v->main.lblDescLeft.visible);
    h.click(ProjectButton(12));
    QCOMPARE(Pressed(*h.v), QStringLiteral("12"));
    QCOMPARE(h.v->main.lblDescription.text, QStringLiteral("Project 12 [3:07]"));
    QVERIFY(h.dialogs.messages.isEmpty());
}

void TestPunch::projectButtonsIgnoredWhilePunching() {
    Harness h;
    QVERIFY(h.start());
    h.press(ProjectButton(2));
    h.click(PunchButton);
    QCOMPARE(h.v->punch.punchMinutes, std::int16_t(0));
    h.press(ProjectButton(7));
    h.press(ProjectButton(2));
    QCOMPARE(Pressed(*h.v), QStringLiteral("2"));
    QCOMPARE(h.v->punch.currentProject, std::int16_t(2));
    QVERIFY(h.v->main.lblDescription.visible);
}

void TestPunch::shortLedgerButtons() {
    const QByteArray file = Ledger(4);
    Harness h(file);
    QVERIFY(h.start());
    h.press(ProjectButton(7));
    QCOMPARE(h.dialogs.messages.size(), 1);
    QVERIFY2(h.dialogs.messages[0].contains(QStringLiteral("holds only 4")), qPrintable(h.dialogs.messages[0]));
    QCOMPARE(h.v->punch.currentProject, std::int16_t(0));
    QCOMPARE(Pressed(*h.v), QString());
    QVERIFY(!h.v->main.lblDescription.visible);
    // A selected project stays selected when a button without a record is pressed.
    h.press(ProjectButton(4));
    h.press(ProjectButton(12));
    QCOMPARE(h.v->punch.currentProject, std::int16_t(4));
    QCOMPARE(Pressed(*h.v), QStringLiteral("4"));
    QCOMPARE(h.v->main.lblDescription.text, QStringLiteral("Project 4 [0:00]"));
    QCOMPARE(h.dialogs.messages.size(), 2);
    h.click(PunchButton);
    h.click(PunchButton);
    QCOMPARE(OnDisk(h, 4).name, QStringLiteral("Project 4"));
    QCOMPARE(int(ParseLedger(h.ledgerBytes()).projects.size()), 4);
}

void TestPunch::editorCommitResetsTime() {
    Harness h(Ledger(12, 3, 7));
    QVERIFY(h.start());
    h.press(ProjectButton(3));
    h.click(DescriptionLabel);
    QVERIFY(h.v->main.txtDescription.visible && h.v->main.imgDescription.visible);
    QVERIFY(h.v->main.lblDescription.visible);
    QCOMPARE(h.v->main.txtDescription.text, QStringLiteral("Project 3"));
    // What the shell's line edit writes back; TAB, CR and LF cannot survive into the file.
    h.v->main.txtDescription.text = QStringLiteral("Web\tsite\r\n_1");
    h.click(ConfirmButton);
    QCOMPARE(h.v->main.lblDescription.text, QStringLiteral("Web site  _1 [3:07]"));
    QVERIFY(!h.v->main.txtDescription.visible && !h.v->main.imgDescription.visible);
    QVERIFY(h.v->main.lblDescription.visible);
    const ProjectRec disk = OnDisk(h, 3);
    QCOMPARE(disk.name, QStringLiteral("Web site  _1"));
    QCOMPARE(int(disk.hours), 0);
    QCOMPARE(int(disk.minutes), 0);
    QCOMPARE(int(disk.number), 3);
    QCOMPARE(int(ParseLedger(h.ledgerBytes()).projects.size()), 12);
    QVERIFY(h.ledgerBytes().contains("\r\n3\t0\t0\tWeb site  _1\r\n"));
    // The reset time shows at the next selection.
    h.press(ProjectButton(3));
    h.press(ProjectButton(3));
    QCOMPARE(h.v->main.lblDescription.text, QStringLiteral("Web site  _1 [0:00]"));
}

void TestPunch::editorOnlyOpensWhileOff() {
    Harness h;
    QVERIFY(h.start());
    h.press(ProjectButton(1));
    h.click(PunchButton);
    h.click(DescriptionLabel);
    QVERIFY(!h.v->main.txtDescription.visible && !h.v->main.imgDescription.visible);
    h.click(PunchButton);
    h.click(DescriptionLabel);
    QVERIFY(h.v->main.txtDescription.visible && h.v->main.imgDescription.visible);
    // The editor stays open while punching; the commit does not check the punch clock.
    h.click(PunchButton);
    QVERIFY(h.v->main.txtDescription.visible);
    h.v->main.txtDescription.text = QStringLiteral("Renamed while on");
    h.click(ConfirmButton);
    QCOMPARE(OnDisk(h, 1).name, QStringLiteral("Renamed while on"));
    QCOMPARE(h.v->punch.punchMinutes, std::int16_t(0));
}

void TestPunch::commitWithoutSelectionKeepsText() {
    Harness h;
    QVERIFY(h.start());
    h.press(ProjectButton(6));
    h.click(DescriptionLabel);
    h.v->main.txtDescription.text = QStringLiteral("Typed name");
    h.press(ProjectButton(6)); // clears the selection; the editor stays open
    const QByteArray before = h.ledgerBytes();
    h.click(ConfirmButton);
    QCOMPARE(h.dialogs.messages.size(), 1);
    QVERIFY(h.v->main.txtDescription.visible && h.v->main.imgDescription.visible);
    QCOMPARE(h.v->main.txtDescription.text, QStringLiteral("Typed name"));
    QCOMPARE(h.ledgerBytes(), before);
    // Selecting a project lets the same text go to it.
    h.press(ProjectButton(2));
    h.click(ConfirmButton);
    QCOMPARE(OnDisk(h, 2).name, QStringLiteral("Typed name"));
    QCOMPARE(OnDisk(h, 6).name, QStringLiteral("Project 6"));
}

void TestPunch::punchedMinutesReachTheFile() {
    Harness h(Ledger(12, 1, 58));
    h.clock.set(10, 0, 30);
    QVERIFY(h.start());
    h.tick();
    h.press(ProjectButton(3));
    h.runTo(10, 0, 40);
    h.click(PunchButton);
    QCOMPARE(Digits(*h.v), QStringLiteral("- - 0"));
    h.runTo(10, 0, 59);
    QCOMPARE(OnDisk(h, 3).minutes, std::int16_t(58)); // no minute counted yet
    h.runTo(10, 1, 0);
    QCOMPARE(OnDisk(h, 3).minutes, std::int16_t(59));
    h.runTo(10, 2, 0);
    QCOMPARE(int(OnDisk(h, 3).hours) * 60 + OnDisk(h, 3).minutes, 118 + 2); // each minute as it is counted
    h.runTo(10, 3, 40);
    QCOMPARE(h.v->punch.punchMinutes, std::int16_t(3));
    QCOMPARE(Digits(*h.v), QStringLiteral("- - 3"));
    QCOMPARE(int(OnDisk(h, 3).hours) * 60 + OnDisk(h, 3).minutes, 118 + 3);
    // In memory the record and its line wait for the punch clock to stop.
    QCOMPARE(int(h.v->punch.projects[2].minutes), 58);
    QCOMPARE(h.v->main.lblDescription.text, QStringLiteral("Project 3 [1:58]"));
    h.click(PunchButton);
    QCOMPARE(Digits(*h.v), QStringLiteral("- - -"));
    QCOMPARE(h.v->main.imgPunch.pic, (PicRef{Strip::imgPunch, 0}));
    const ProjectRec disk = OnDisk(h, 3);
    QCOMPARE(int(disk.hours), 2);
    QCOMPARE(int(disk.minutes), 1);
    QCOMPARE(OnDisk(h, 2).minutes, std::int16_t(58));
    QCOMPARE(h.v->main.lblDescription.text, QStringLiteral("Project 3 [2:01]"));
    QCOMPARE(h.v->punch.projects[2].minutes, std::int16_t(1)); // handed over once
    // Counting continues undisturbed far past three digits.
    h.click(PunchButton);
    h.runTo(10, 4, 0);
    for (int i = 0; i < 1005; ++i)
        h.tick(60);
    QCOMPARE(h.v->punch.punchMinutes, std::int16_t(1005));
    QCOMPARE(Digits(*h.v), QStringLiteral("9 9 9"));
    QVERIFY(h.dialogs.messages.isEmpty());
}

void TestPunch::firstMinuteComesAtTheNextFullMinute() {
    Harness h;
    h.clock.set(9, 14, 58);
    QVERIFY(h.start());
    h.tick(1);
    h.click(PunchButton);
    h.tick(1); // 09:14:59
    QCOMPARE(h.v->punch.punchMinutes, std::int16_t(0));
    h.tick(1); // 09:15:00
    QCOMPARE(h.v->punch.punchMinutes, std::int16_t(1));
    QCOMPARE(Digits(*h.v), QStringLiteral("- - 1"));
}

void TestPunch::onAndOffInOneMinute_data() {
    QTest::addColumn<bool>("selected");
    QTest::newRow("with a project: 0 minutes, file saved") << true;
    QTest::newRow("without a project: nothing written") << false;
}

void TestPunch::onAndOffInOneMinute() {
    QFETCH(bool, selected);
    const QByteArray file = "# hand-made\r\n" + Ledger(12, 4, 4);
    Harness h(file);
    QVERIFY(h.start());
    if (selected) h.press(ProjectButton(8));
    h.click(PunchButton);
    h.tick(5);
    h.click(PunchButton);
    QCOMPARE(h.v->punch.punchMinutes, PunchOff);
    QCOMPARE(h.ledgerBytes(), selected ? Ledger(12, 4, 4) : file);
    if (selected) QCOMPARE(h.v->main.lblDescription.text, QStringLiteral("Project 8 [4:04]"));
}

void TestPunch::quitKeepsPunchedMinutes_data() {
    QTest::addColumn<int>("path"); // 0 header X, 1 session end, 2 QuitProgram (tray Exit)
    QTest::addColumn<bool>("selected");
    QTest::addColumn<int>("minutes");
    // Session saves at 18:00:05 (and 18:01:05) before the quit at 18:02:05; they must not stop
    // the program or the punch clock, nor count a minute twice.
    QTest::addColumn<int>("sessionSaves");
    QTest::newRow("header X, project 2") << 0 << true << 2 << 0;
    QTest::newRow("session end, project 2") << 1 << true << 2 << 0;
    QTest::newRow("tray exit, project 2") << 2 << true << 2 << 0;
    QTest::newRow("header X, no project") << 0 << false << 0 << 0;
    QTest::newRow("session save, then header X") << 0 << true << 4 << 1;
    QTest::newRow("two session saves, then session end") << 1 << true << 4 << 2;
    QTest::newRow("session save, no project") << 0 << false << 0 << 1;
}

void TestPunch::quitKeepsPunchedMinutes() {
    QFETCH(int, path);
    QFETCH(bool, selected);
    Harness h(Ledger(12, 0, 59));
    h.clock.set(17, 58, 20);
    QVERIFY(h.start());
    if (selected) h.press(ProjectButton(2));
    h.click(PunchButton);
    h.runTo(18, 0, 5);
    QCOMPARE(h.v->punch.punchMinutes, std::int16_t(2));
    QFETCH(int, sessionSaves);
    for (int i = 0; i < sessionSaves; ++i) {
        OnSessionSave(*h.v);
        QVERIFY(!h.window.ended);
        QCOMPARE(h.v->punch.punchMinutes, std::int16_t(2 + i));
        QCOMPARE(Digits(*h.v), QStringLiteral("- - %1").arg(2 + i));
        QCOMPARE(h.v->main.imgPunch.pic, (PicRef{Strip::imgPunch, 1}));
        // The file holds the minutes so far; the description line still shows the time at selection.
        const ProjectRec saved = OnDisk(h, 2);
        QCOMPARE(int(saved.hours) * 60 + saved.minutes, 59 + (selected ? 2 + i : 0));
        if (selected) QCOMPARE(h.v->main.lblDescription.text, QStringLiteral("Project 2 [0:59]"));
        h.runTo(18, 1 + i, 5);
    }
    if (sessionSaves > 0) h.runTo(18, 2, 5);
    if (path == 0) {
        h.press(HeaderX);
        h.release(HeaderX);
    } else if (path == 1) {
        OnSessionEnd(*h.v);
    } else {
        QuitProgram(*h.v);
    }
    QVERIFY(h.window.ended);
    QCOMPARE(h.window.status, 0);
    QFETCH(int, minutes);
    const ProjectRec disk = OnDisk(h, 2);
    QCOMPARE(int(disk.hours) * 60 + disk.minutes, 59 + minutes);
    QCOMPARE(OnDisk(h, 1).minutes, std::int16_t(59));
}

void TestPunch::minutesAcrossGaps_data() {
    // Punch on at `on`, tick every second up to `gapAt`; then the gap: the wall clock moves on by
    // `gap` seconds with the machine awake (a stalled program), asleep, or set by hand; then ticks
    // every second up to `until` and punch off.
    QTest::addColumn<QTime>("on");
    QTest::addColumn<QTime>("gapAt");
    QTest::addColumn<QString>("kind"); // "stall", "suspend", "set"
    QTest::addColumn<int>("gap");
    QTest::addColumn<QTime>("until");
    QTest::addColumn<int>("minutes");
    QTest::newRow("across midnight") << QTime(23, 58, 30) << QTime(23, 59, 0) << "stall" << 0 << QTime(0, 2, 30) << 4;
    QTest::newRow("a stall over two minute boundaries")
        << QTime(10, 0, 30) << QTime(10, 1, 50) << "stall" << 15 + 60 + 10 << QTime(10, 4, 30) << 4;
    QTest::newRow("a stall that ends on a full minute")
        << QTime(10, 0, 30) << QTime(10, 0, 58) << "stall" << 62 << QTime(10, 2, 30) << 2;
    QTest::newRow("a stall of an hour") << QTime(10, 0, 30) << QTime(10, 0, 40) << "stall" << 3600 << QTime(11, 0, 50)
                                        << 60;
    QTest::newRow("a suspend counts nothing")
        << QTime(10, 0, 30) << QTime(10, 1, 10) << "suspend" << 3600 << QTime(11, 1, 30) << 1;
    QTest::newRow("a suspend that ends on a full minute")
        << QTime(10, 0, 30) << QTime(10, 1, 10) << "suspend" << 3590 << QTime(11, 1, 30) << 1;
    QTest::newRow("the clock set forward an hour counts nothing")
        << QTime(10, 0, 30) << QTime(10, 1, 10) << "set" << 3600 << QTime(11, 2, 30) << 2;
}

void TestPunch::minutesAcrossGaps() {
    QFETCH(QTime, on);
    QFETCH(QTime, gapAt);
    QFETCH(QString, kind);
    QFETCH(int, gap);
    QFETCH(QTime, until);
    QFETCH(int, minutes);
    Harness h(Ledger(12, 1, 0));
    h.clock.t = QDateTime(QDate(2026, 12, 9), on);
    QVERIFY(h.start());
    h.tick();
    h.press(ProjectButton(4));
    h.click(PunchButton);
    h.runTo(gapAt.hour(), gapAt.minute(), gapAt.second());
    if (kind == QLatin1String("stall"))
        h.clock.advance(gap); // no tick ran in it
    else if (kind == QLatin1String("suspend"))
        h.clock.suspend(gap);
    else
        h.clock.t = h.clock.t.addSecs(gap);
    h.tick();
    h.runTo(until.hour(), until.minute(), until.second());
    QCOMPARE(int(h.v->punch.punchMinutes), minutes);
    QCOMPARE(int(OnDisk(h, 4).hours) * 60 + OnDisk(h, 4).minutes, 60 + minutes); // already on disk
    h.click(PunchButton);
    QCOMPARE(int(h.v->punch.projects[3].hours) * 60 + h.v->punch.projects[3].minutes, 60 + minutes);
    QCOMPARE(int(OnDisk(h, 4).hours) * 60 + OnDisk(h, 4).minutes, 60 + minutes);
    QVERIFY(h.dialogs.messages.isEmpty() && h.dialogs.warnings.isEmpty());
}

QTEST_MAIN(TestPunch)
#include "test_punch.moc"
