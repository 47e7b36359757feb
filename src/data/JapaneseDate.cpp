#include "data/JapaneseDate.h"

#include <QDateTime>

QString formatJapaneseDate(const QDateTime& moment) {
    static const char* const weekdays[] = {"月", "火", "水", "木", "金", "土", "日"};
    return moment.toString("yyyy/MM/dd") + "(" +
           QString::fromUtf8(weekdays[moment.date().dayOfWeek() - 1]) + ") " +
           moment.toString("HH:mm:ss");
}
