#pragma once
// The alarm window: the time it opened in big digits and a Done button counting down.

#include <QDialog>
#include <QTimer>
#include <array>

class ShellHub;
class QGroupBox;
class QPushButton;
struct Element;

// One strip picture of the element model, drawn as it is.
class PictureBox : public QWidget {
    Q_OBJECT
public:
    PictureBox(ShellHub& shell, const Element& e, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    ShellHub& m_shell;
    const Element& m_e;
};

class FrmAlarm : public QDialog {
    Q_OBJECT
public:
    explicit FrmAlarm(ShellHub& shell);
    // Repaints from the alarm window model: the digits that changed and the button caption.
    void sync();
    QPushButton* doneButton() { return m_done; }
    QGroupBox* frame() { return m_frame; }
    QTimer& timer() { return m_timerAlarm; }

protected:
    void closeEvent(QCloseEvent* e) override;
    // Escape closes the window like its Done button, not by hiding it.
    void reject() override;

private:
    void done();

    ShellHub& m_shell;
    QGroupBox* m_frame = nullptr;
    QPushButton* m_done = nullptr;
    std::array<PictureBox*, 5> m_digits{};
    QTimer m_timerAlarm;
};
