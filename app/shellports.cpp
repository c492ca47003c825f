#include "app/shellports.h"

#include "app/frmvakto.h"
#include "app/shell.h"
#include "app/startup.h"

#include <QApplication>
#include <QCursor>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include <QUrl>
#include <QWindow>
#include <cstdio>
#include <ctime>

QDateTime SystemClock::now() const {
    const qint64 utc = m_utcNow();
    const qint64 minute = utc / 60000 - (utc % 60000 < 0 ? 1 : 0);
    if (minute != m_minute) {
        m_offsetMs = qint64(QDateTime::fromMSecsSinceEpoch(utc, Qt::LocalTime).offsetFromUtc()) * 1000;
        m_minute = minute;
    }
    return QDateTime::fromMSecsSinceEpoch(utc + m_offsetMs, Qt::UTC);
}

std::int64_t SystemClock::monotonicMs() const {
    // CLOCK_MONOTONIC stands still while the machine sleeps (CLOCK_BOOTTIME would not).
    timespec ts{};
    ::clock_gettime(CLOCK_MONOTONIC, &ts);
    return std::int64_t(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

void MessageBoxes::message(const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Vakto"), text, QMessageBox::Ok);
    box.exec();
}

void MessageBoxes::error(const QString& text) {
    std::fprintf(stderr, "vakto: %s\n", text.toLocal8Bit().constData());
    std::fflush(stderr);
    if (m_headless) return;
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Vakto"), text, QMessageBox::Ok);
    box.exec();
}

void MessageBoxes::warn(const QString& text) {
    std::fprintf(stderr, "vakto: %s\n", text.toLocal8Bit().constData());
    std::fflush(stderr);
    if (m_headless) return;
    // Not modal and not waited for: a nested event loop would run ticks inside the tick that reports.
    auto* box = new QMessageBox(QMessageBox::Warning, QStringLiteral("Vakto"), text, QMessageBox::Ok);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setModal(false);
    box->show();
}

void DesktopBrowser::open(const QString& url) {
    QDesktopServices::openUrl(QUrl(url));
}

FrmVakto* MainWindowPort::w() const {
    return m_shell->mainWindow();
}

void MainWindowPort::show() {
    w()->show();
}
void MainWindowPort::hide() {
    w()->hide();
}

void MainWindowPort::setMinimised(bool minimised) {
    Qt::WindowStates s = w()->windowState();
    w()->setWindowState(minimised ? (s | Qt::WindowMinimized) : (s & ~Qt::WindowMinimized));
}

bool MainWindowPort::isMinimised() const {
    return w()->windowState() & Qt::WindowMinimized;
}
bool MainWindowPort::isVisible() const {
    return w()->isVisible();
}
QPoint MainWindowPort::pos() const {
    return w()->pos();
}
QSize MainWindowPort::size() const {
    return w()->size();
}
void MainWindowPort::move(QPoint topLeft) {
    w()->move(topLeft);
}
QPoint MainWindowPort::cursorPos() const {
    return QCursor::pos();
}

QRect MainWindowPort::screenGeometryAt(QPoint p) const {
    const QScreen* s = QGuiApplication::screenAt(p);
    if (!s) s = QGuiApplication::primaryScreen();
    return s ? s->geometry() : QRect(0, 0, 1024, 768);
}

bool MainWindowPort::canPlaceItself() const {
    // Wayland compositors do not let a client place its own window.
    return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

void MainWindowPort::startSystemMove() {
    if (QWindow* h = w()->windowHandle()) h->startSystemMove();
}

void MainWindowPort::setIcon(const QString& name) {
    w()->setWindowIcon(m_shell->pixmaps().icon(name));
}
void MainWindowPort::showAbout() {
    m_shell->showAbout();
}
void MainWindowPort::unloadAbout() {
    m_shell->unloadAbout();
}

void MainWindowPort::unload() {
    w()->setSystemClose(true);
    w()->close();
    OnUnload(m_shell->vakto());
}

void MainWindowPort::endProgram(int status) {
    m_ended = true;
    m_status = status;
    QCoreApplication::exit(status);
}
