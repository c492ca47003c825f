#include "about/about.h"

void OpenMakerPage(Vakto& v, bool fromHeader) {
    QString url = QString::fromLatin1(MakerAddress);
    if (fromHeader) url += QLatin1String(FromVaktoQuery);
    v.ports.browser.open(url);
}

void InstallAboutHandlers(Vakto& v) {
    v.main.imgAuthor.onClick = [](Vakto& vv, int, const MouseEv&) { OpenMakerPage(vv, true); };
}
