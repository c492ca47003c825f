#pragma once
// The alarm window: the time it opened in big digits and a Done button counting down.

#include <QDialog>

class Shell;

class FrmAlarm : public QDialog {
    Q_OBJECT
public:
    explicit FrmAlarm(Shell& shell);
    void sync();

private:
    Shell& m_shell;
};
