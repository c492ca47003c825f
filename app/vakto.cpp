#include "model/vakto.h"

#include "about/about.h"
#include "alarm/alarmsetting.h"
#include "alarm/alarmstate.h"
#include "alarm/announcer.h"
#include "app/mainwindow.h"
#include "punch/ledger.h"
#include "punch/punch.h"

Vakto::Vakto(Ports p, QString programFolder) : ports(p) {
    app.programFolder = std::move(programFolder);
    app.dataFolder = app.programFolder;
    app.ledgerPath = app.programFolder + QStringLiteral("/vakto.dat");
    BuildMainModel(*this);
    BuildDepotMenu(depot);
    tray.onMessage = OnMainMouseMove;
    BuildAlarmWindowModel(alarmWin);
    InstallAlarmSettingHandlers(*this);
    InstallAnnouncerHandlers(*this);
    InstallPunchHandlers(*this);
    InstallLedgerHandlers(*this);
    InstallAboutHandlers(*this);
}
