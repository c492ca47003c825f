#include "model/depot.h"

#include <QFile>

const char* StripName(Strip s) {
    switch (s) {
    case Strip::None:
        return "";
    case Strip::imgTime:
        return "imgTime";
    case Strip::imgSet:
        return "imgSet";
    case Strip::imgHeader:
        return "imgHeader";
    case Strip::imgHeaderX:
        return "imgHeaderX";
    case Strip::imgHeaderV:
        return "imgHeaderV";
    case Strip::imgFixed:
        return "imgFixed";
    case Strip::imgPunchUp:
        return "imgPunchUp";
    case Strip::imgPunchDn:
        return "imgPunchDn";
    case Strip::imgPunch:
        return "imgPunch";
    case Strip::imgCenter:
        return "imgCenter";
    case Strip::imgEach:
        return "imgEach";
    case Strip::imgDial:
        return "imgDial";
    case Strip::imgTrayIcon:
        return "imgTrayIcon";
    case Strip::mark:
        return "mark";
    case Strip::arrow:
        return "arrow";
    case Strip::description:
        return "description";
    }
    return "";
}

int StripFirst(Strip s) {
    return (s == Strip::imgPunchUp || s == Strip::imgPunchDn) ? 1 : 0;
}

int StripCount(Strip s) {
    switch (s) {
    case Strip::imgTime:
        return 13;
    case Strip::imgSet:
        return 11;
    case Strip::imgFixed:
        return 20;
    case Strip::imgPunchUp:
    case Strip::imgPunchDn:
        return 12;
    case Strip::imgEach:
    case Strip::imgDial:
        return 6;
    case Strip::imgHeader:
    case Strip::imgHeaderX:
    case Strip::imgHeaderV:
    case Strip::imgPunch:
    case Strip::imgCenter:
    case Strip::imgTrayIcon:
        return 2;
    case Strip::mark:
    case Strip::arrow:
    case Strip::description:
        return 1;
    case Strip::None:
        return 0;
    }
    return 0;
}

QString DepotPath(PicRef ref, int iconSize) {
    switch (ref.strip) {
    case Strip::None:
        return {};
    case Strip::mark:
        return QStringLiteral(":/mark.png");
    case Strip::arrow:
        return QStringLiteral(":/arrow.png");
    case Strip::description:
        return QStringLiteral(":/description.png");
    case Strip::imgTrayIcon:
        return QStringLiteral(":/depot/imgTrayIcon_%1_%2.png").arg(ref.index).arg(iconSize);
    default:
        return QStringLiteral(":/depot/%1_%2.png").arg(QLatin1String(StripName(ref.strip))).arg(ref.index);
    }
}

const QImage& DialImage(Vakto& v, int i) {
    QImage& img = v.depot.imgDial[std::size_t(i)];
    if (img.isNull()) {
        // RGB32 so that the line drawer reads and writes whole 32-bit pixels; a missing picture
        // becomes a black dial rather than no clock at all.
        const QImage file(DepotPath({Strip::imgDial, std::int16_t(i)}));
        img = file.isNull() ? QImage(137, 137, QImage::Format_RGB32) : file.convertToFormat(QImage::Format_RGB32);
        if (file.isNull()) img.fill(Qt::black);
    }
    return img;
}

bool LoadDepot(Vakto& v) {
    // Dial faces are decoded on first use (one or two of the six are shown in a typical run).
    v.depot.loaded = true;
    return QFile::exists(DepotPath({Strip::imgDial, 0}));
}
