#include "formats/TableTokenizer.h"

#include "platform/Texts.h"

#include <algorithm>

namespace QuestionTable {

int splitRows(QStringView text, QChar separator, QVector<Row>& rows, int maxRows) {
    const qsizetype n = text.size();
    qsizetype i = 0;
    int line = 1;
    int number = 0;
    const auto isLineEnd = [](QChar c) { return c == u'\r' || c == u'\n'; };
    // Steps over a line end at i: CR LF, CR or LF.
    const auto passLineEnd = [&] {
        i += text.at(i) == u'\r' && i + 1 < n && text.at(i + 1) == u'\n' ? 2 : 1;
        ++line;
    };
    while (i < n && (maxRows < 0 || rows.size() < maxRows)) {
        Row row;
        row.number = ++number;
        row.line = line;
        while (true) {
            QString field;
            if (text.at(i) == u'"') {
                const int quoteLine = line;
                ++i;
                while (true) {
                    if (i >= n)
                        return quoteLine;
                    const QChar c = text.at(i);
                    if (c == u'"') {
                        ++i;
                        if (i < n && text.at(i) == u'"') {
                            field += QChar('"');
                            ++i;
                            continue;
                        }
                        break;
                    }
                    if (isLineEnd(c)) {
                        field += QChar('\n');
                        passLineEnd();
                        continue;
                    }
                    qsizetype j = i;
                    while (j < n && text.at(j) != u'"' && !isLineEnd(text.at(j)))
                        ++j;
                    field += text.mid(i, j - i);
                    i = j;
                }
            }
            // An unquoted field, or what follows a closing quote, up to the
            // next separator or line end.
            qsizetype j = i;
            while (j < n && text.at(j) != separator && !isLineEnd(text.at(j)))
                ++j;
            field += text.mid(i, j - i);
            i = j;
            row.fields << field;
            if (i < n && text.at(i) == separator) {
                ++i;
                if (i < n)
                    continue;
                row.fields << QString();
            }
            if (i < n)
                passLineEnd();
            break;
        }
        if (std::any_of(row.fields.begin(), row.fields.end(),
                        [](const QString& f) { return !f.isEmpty(); }))
            rows.append(row);
    }
    return 0;
}

QChar detectSeparator(QStringView text) {
    struct Trial {
        QChar separator;
        int width = 0;
        bool consistent = false;
    };
    Trial trials[] = {{QChar('\t')}, {QChar(',')}};
    for (Trial& trial : trials) {
        QVector<Row> rows;
        splitRows(text, trial.separator, rows, 20);
        trial.width = rows.isEmpty() ? 0 : int(rows.first().fields.size());
        trial.consistent =
            trial.width >= 2 && std::all_of(rows.begin(), rows.end(), [&](const Row& row) {
                return row.fields.size() == trial.width;
            });
    }
    const Trial& tab = trials[0];
    const Trial& comma = trials[1];
    if (tab.consistent != comma.consistent)
        return tab.consistent ? tab.separator : comma.separator;
    return tab.width > comma.width || (tab.consistent && comma.consistent) ? tab.separator
                                                                           : comma.separator;
}

QString rowName(int number, int line) {
    if (number == line)
        return u("%1行目").arg(number);
    return u("%1行目(ﾌｧｲﾙの%2行目)").arg(number).arg(line);
}

} // namespace QuestionTable
