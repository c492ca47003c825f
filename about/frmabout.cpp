#include "about/frmabout.h"

#include "app/shell.h"

const char* const MakerAddress = "https://vakto.example.org/";

FrmAbout::FrmAbout(Shell& shell) : m_shell(shell) { setWindowTitle(QStringLiteral("About Vakto")); }
