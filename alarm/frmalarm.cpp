#include "alarm/frmalarm.h"

#include "alarm/alarmstate.h"
#include "model/pixmaps.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QPainter>
#include <QPushButton>

PictureBox::PictureBox(ShellHub& shell, const Element& e, QWidget* parent) : QWidget(parent), m_shell(shell), m_e(e) {
    setGeometry(e.rect);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void PictureBox::paintEvent(QPaintEvent*) {
    if (m_e.pic.strip == Strip::None) return;
    QPainter p(this);
    p.drawPixmap(0, 0, m_shell.pixmaps().pixmap(m_e.pic));
}

FrmAlarm::FrmAlarm(ShellHub& shell) : QDialog(nullptr), m_shell(shell) {
    Vakto& v = shell.vakto();
    setObjectName(QStringLiteral("frmAlarm"));
    setWindowTitle(QStringLiteral("Alarm"));
    setWindowIcon(shell.pixmaps().icon(QStringLiteral("alarmwindow")));
    setModal(false);
    setFixedSize(182, 129);
    setSizeGripEnabled(false);

    m_frame = new QGroupBox(QStringLiteral("Alarm"), this);
    m_frame->setObjectName(QStringLiteral("Frame1"));
    m_frame->setGeometry(16, 8, 153, 97);
    m_frame->setFocusPolicy(Qt::NoFocus);
    for (size_t i = 0; i < m_digits.size(); ++i)
        m_digits[i] = new PictureBox(shell, v.alarmWin.imgTime[i], m_frame);

    // Created after the frame, so it lies above the frame's lower edge it straddles.
    m_done = new QPushButton(v.alarmWin.cmdDone.text, this);
    m_done->setObjectName(QStringLiteral("cmdDone"));
    m_done->setGeometry(v.alarmWin.cmdDone.rect);
    m_done->setDefault(true);
    m_done->setFocus();
    connect(m_done, &QPushButton::clicked, this, &FrmAlarm::done);

    m_timerAlarm.setInterval(1000);
    connect(&m_timerAlarm, &QTimer::timeout, this, [this] {
        AlarmWindowTick(m_shell.vakto());
        m_shell.sync();
    });
    m_timerAlarm.start();
    for (Element& e : v.alarmWin.imgTime)
        e.dirty = false; // painted with the window
}

void FrmAlarm::sync() {
    Vakto& v = m_shell.vakto();
    for (size_t i = 0; i < m_digits.size(); ++i) {
        Element& e = v.alarmWin.imgTime[i];
        if (e.dirty) {
            e.dirty = false;
            m_digits[i]->update();
        }
    }
    if (m_done->text() != v.alarmWin.cmdDone.text) m_done->setText(v.alarmWin.cmdDone.text);
}

void FrmAlarm::done() {
    Vakto& v = m_shell.vakto();
    m_timerAlarm.stop();
    if (v.alarmWin.open) {
        AlarmWindowDone(v);
        // Closes and deletes this window; the close event that follows finds the model closed.
        m_shell.sync();
    }
}

void FrmAlarm::closeEvent(QCloseEvent* e) {
    // A title-bar close closes at once, like Done. When the shell closes the window, the model
    // is already closed and nothing is called back.
    done();
    e->accept();
}

void FrmAlarm::reject() {
    close();
}
