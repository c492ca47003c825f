#pragma once
// The About box.

#include <QDialog>

class Shell;

// The maker's web page: the one address both links open.
extern const char* const MakerAddress;

class FrmAbout : public QDialog {
    Q_OBJECT
public:
    explicit FrmAbout(Shell& shell);

private:
    Shell& m_shell;
};
