#include "about/frmabout.h"

#include "model/pixmaps.h"

#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QPushButton>

FrmAbout::FrmAbout(ShellHub& shell) : QDialog(nullptr), m_shell(shell) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About Vakto"));
    setWindowIcon(shell.pixmaps().icon(QStringLiteral("about")));
    // Fixed size, no help button; a title-bar close destroys the box and the next About makes a new one.
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(304, 139);

    m_frame = new QGroupBox(QStringLiteral("Vakto"), this);
    m_frame->setObjectName(QStringLiteral("Frame1"));
    m_frame->setGeometry(16, 8, 273, 81);

    m_label = new QLabel(QStringLiteral("Analog clock, timer, alarm, time intervals announcer, punch clock."), m_frame);
    m_label->setObjectName(QStringLiteral("Label1"));
    m_label->setGeometry(24, 24, 233, 25);
    m_label->setWordWrap(true);
    // Two wrapped lines must fit the label's 25 pixels.
    QFont small = m_label->font();
    small.setPixelSize(11);
    m_label->setFont(small);
    m_label->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    // Created after the frame, so it lies above the frame's lower edge, which it straddles.
    m_http = new QPushButton(QString::fromLatin1(MakerAddress), this);
    m_http->setObjectName(QStringLiteral("cmdHTTP"));
    m_http->setGeometry(56, 72, 185, 25);

    m_done = new QPushButton(QStringLiteral("Done"), this);
    m_done->setObjectName(QStringLiteral("cmdDone"));
    m_done->setGeometry(56, 96, 185, 25);
    m_done->setDefault(true);

    // Done comes first in the tab order, so it has the focus when the box opens.
    setTabOrder(m_done, m_frame);
    setTabOrder(m_frame, m_label);
    setTabOrder(m_label, m_http);
    m_done->setFocus();

    connect(m_http, &QPushButton::clicked, this, [this] {
        OpenMakerPage(m_shell.vakto(), false);
        m_shell.sync();
    });
    connect(m_done, &QPushButton::clicked, this, &FrmAbout::onDone);
}

void FrmAbout::onDone() {
    hide();
    // Only the visibility changes: a main window hidden minimised comes back minimised.
    m_shell.vakto().ports.window.show();
    m_shell.sync();
}
