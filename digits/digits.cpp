#include "digits/digits.h"

int DigitAt(const QString& s, int pos) {
    if (pos >= s.size()) return 0;
    const QChar c = s.at(pos);
    return c.isDigit() ? c.digitValue() : 0;
}

namespace {
void ShowRow(std::array<Element, 5>& row, const QString& source) {
    SetPic(row[0], Strip::imgTime, DigitAt(source, 0));
    SetPic(row[1], Strip::imgTime, DigitAt(source, 1));
    SetPic(row[2], Strip::imgTime, ColonOn);
    SetPic(row[3], Strip::imgTime, DigitAt(source, 3));
    SetPic(row[4], Strip::imgTime, DigitAt(source, 4));
}
} // namespace

void ShowTime(Vakto& v, std::array<Element, 5>& imgTime) {
    ShowRow(imgTime, v.time.curTime);
}

void ShowSeconds(Vakto& v) {
    const auto s =
        static_cast<std::int16_t>(DigitAt(v.time.curParts.second, 0) * 10 + DigitAt(v.time.curParts.second, 1));
    const int tens = s / 10;
    SetPic(v.main.imgSet[5], Strip::imgSet, tens);
    SetPic(v.main.imgSet[6], Strip::imgSet, s - 10 * tens);
}

void ShowAlarmDigits(Vakto& v) {
    ShowRow(v.main.imgAlarm, v.alarm.alarmTime);
}

void ClearAlarmDigits(Vakto& v) {
    auto& a = v.main.imgAlarm;
    SetPic(a[0], Strip::imgTime, DigitBlank);
    SetPic(a[1], Strip::imgTime, DigitBlank);
    SetPic(a[2], Strip::imgTime, ColonOff);
    SetPic(a[3], Strip::imgTime, DigitBlank);
    SetPic(a[4], Strip::imgTime, DigitBlank);
}

void ShowTwoDigits(Element& tens, Element& units, int value) {
    const int t = value / 10;
    SetPic(tens, Strip::imgSet, t);
    SetPic(units, Strip::imgSet, value - 10 * t);
}
