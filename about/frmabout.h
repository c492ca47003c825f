#pragma once
// The About box: the program's name, its one-line description and the link to the maker's page.

#include "about/about.h"

#include <QDialog>

class ShellHub;
class QGroupBox;
class QLabel;
class QPushButton;

class FrmAbout : public QDialog {
    Q_OBJECT
public:
    explicit FrmAbout(ShellHub& shell);

    QGroupBox* frame() { return m_frame; }
    QLabel* label() { return m_label; }
    QPushButton* httpButton() { return m_http; }
    QPushButton* doneButton() { return m_done; }

private:
    void onDone();

    ShellHub& m_shell;
    QGroupBox* m_frame = nullptr;
    QLabel* m_label = nullptr;
    QPushButton* m_http = nullptr;
    QPushButton* m_done = nullptr;
};
