#include "model/depot.h"

QString DepotPath(PicRef ref, int iconSize) {
    const PictureRun* run = FindPicture(ref.strip, ref.index, ref.strip == Strip::imgTrayIcon ? iconSize : 0);
    if (!run) return {};
    return QStringLiteral(":/") +
           QString::fromLatin1(run->file).replace(QLatin1String("%i"), QString::number(ref.index));
}

QSize PictureSize(PicRef ref) {
    const PictureRun* run = FindPicture(ref.strip, ref.index);
    return run ? QSize(run->width, run->height) : QSize();
}

const QImage& DialImage(Vakto& v, int i) {
    QImage& img = v.depot.imgDial[std::size_t(i)];
    if (img.isNull()) {
        // RGB32 so that the line drawer reads and writes whole 32-bit pixels; a missing picture
        // becomes a black dial rather than no clock at all.
        const QImage file(DepotPath({Strip::imgDial, std::int16_t(i)}));
        img = file.isNull() ? QImage(PictureSize({Strip::imgDial, 0}), QImage::Format_RGB32)
                            : file.convertToFormat(QImage::Format_RGB32);
        if (file.isNull()) img.fill(Qt::black);
    }
    return img;
}
