#pragma once

#include <QString>

class QDateTime;

// A moment as the program writes dates: "yyyy/mm/dd(aaa) hh:nn:ss" with the
// Japanese one-character weekday.
QString formatJapaneseDate(const QDateTime& moment);
