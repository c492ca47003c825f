// The real main window on the offscreen platform: project buttons and the description editor,
// reached through Qt mouse and key events.
#include "app/frmvakto.h"
#include "app/shell.h"
#include "punch/ledger.h"
#include "punch/punch.h"
#include "tests/support/harness.h"

#include <QLineEdit>
#include <QtTest>

namespace {

const QRect DescriptionLine{12, 170, 93, 15};

// Pixels of the description line near the label's text colour.
int TextPixels(const QImage& img) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QColor c = img.pixelColor(x, y);
            if (c.blue() > 200 && c.green() > 150 && c.red() > 110) ++n;
        }
    return n;
}

} // namespace

class TestPunchWidget : public QObject {
    Q_OBJECT
private slots:
    void projectButtonShowsName();
};

void TestPunchWidget::projectButtonShowsName() {
    Harness h;
    Shell shell(*h.v);
    QVERIFY(h.start());
    shell.sync();
    FrmVakto* w = shell.mainWindow();
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    const QImage hidden = w->grab(DescriptionLine).toImage();

    QTest::mouseClick(w, Qt::LeftButton, {}, ProjectButton(3));
    QCOMPARE(h.v->punch.currentProject, std::int16_t(3));
    QCOMPARE(h.v->main.imgPunchUp[3].pic, (PicRef{Strip::imgPunchDn, 3}));
    QCOMPARE(h.v->main.lblDescription.text, QStringLiteral("Project 3 [0:00]"));
    const QImage three = w->grab(DescriptionLine).toImage();
    QCOMPARE(three.pixelColor(three.width() - 2, 1), QColor(41, 59, 93));
    QVERIFY2(TextPixels(three) > 20, "no text drawn on the description line");

    QTest::mouseClick(w, Qt::LeftButton, {}, ProjectButton(11));
    const QImage eleven = w->grab(DescriptionLine).toImage();
    QVERIFY(eleven != three);
    QTest::mouseClick(w, Qt::LeftButton, {}, ProjectButton(3));
    QCOMPARE(w->grab(DescriptionLine).toImage(), three);

    // The editor: a real line edit over the label, the confirm button at its right end.
    QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(40, 177));
    QLineEdit* edit = w->descriptionEditor();
    QVERIFY(edit->isVisible());
    QCOMPARE(edit->text(), QStringLiteral("Project 3"));
    edit->selectAll();
    QTest::keyClicks(edit, QStringLiteral("Website"));
    QCOMPARE(h.v->main.txtDescription.text, QStringLiteral("Website"));
    QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(96, 177));
    QVERIFY(!edit->isVisible());
    QVERIFY(h.ledgerBytes().contains("\r\n3\t0\t0\tWebsite\r\n"));
    QCOMPARE(h.v->main.lblDescription.text, QStringLiteral("Website [0:00]"));
    QVERIFY(w->grab(DescriptionLine).toImage() != three);

    // Clearing the selection hides the line.
    QTest::mouseClick(w, Qt::LeftButton, {}, ProjectButton(3));
    QCOMPARE(w->grab(DescriptionLine).toImage(), hidden);
}

QTEST_MAIN(TestPunchWidget)
#include "test_punch_widget.moc"
