#include "model/vakto.h"

#include "about/about.h"
#include "alarm/alarmsetting.h"
#include "alarm/alarmstate.h"
#include "alarm/announcer.h"
#include "app/mainwindow.h"
#include "punch/ledger.h"
#include "punch/punch.h"

std::int64_t TickKey(const QDateTime& t) {
    return t.date().toJulianDay() * 86400 + t.time().msecsSinceStartOfDay() / 1000;
}

Vakto::Vakto(Ports p, QString programFolder) : ports(p) {
    app.programFolder = std::move(programFolder);
    app.dataFolder = app.programFolder;
    app.ledgerPath = app.programFolder + QStringLiteral("/vakto.dat");
    BuildMainModel(*this);
    BuildDepotMenu(depot);
    BuildAlarmWindowModel(alarmWin);
    InstallAlarmSettingHandlers(*this);
    InstallAnnouncerHandlers(*this);
    InstallPunchHandlers(*this);
    InstallLedgerHandlers(*this);
    InstallAboutHandlers(*this);
}
