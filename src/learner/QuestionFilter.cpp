#include "learner/QuestionFilter.h"

#include "platform/KeyedTable.h"
#include "platform/Texts.h"

#include <algorithm>

namespace {

const QString RandomPrefix = u("ﾗﾝﾀﾞﾑに");
const QString RatePrefix = u("正答率が");
const QString MarkPrefix = u("ﾏｰｸが\"");
const QString AtMost = u("以下");
const QString SolvedFilter = u("解いたことのある問題だけ選ぶ");
const QString UnsolvedFilter = u("まだ解いていない問題だけ選ぶ");
const QString DueFilter = u("復習の時期が来た問題だけ選ぶ");
const QString DueAndNewPrefix = u("復習と新しい問題");

// Rows without a mark, or with one the mark file no longer defines, rank
// below every defined level.
const QString UnmarkedLevel = QStringLiteral("999");

QString levelOfMark(const QString& mark, const KeyedTable& markTable) {
    const int row = mark.isEmpty() ? 0 : markTable.find("str" + mark);
    return row ? markTable.text(row) : UnmarkedLevel;
}

// The per mille of the rates shown as `figure` + ".0%": -1 for a figure
// that no rate within the list's plain digits is shown as (a sign, a
// leading zero, a blank).
double perMilleShownAs(const QString& figure) {
    const bool plain = !figure.isEmpty() && figure.size() <= 14 &&
                       (figure == "0" || !figure.startsWith('0')) &&
                       std::all_of(figure.begin(), figure.end(),
                                   [](QChar c) { return c >= '0' && c <= '9'; });
    return plain ? figure.toLongLong() * 10.0 : -1;
}

bool keepsShownLevel(const QuestionFilter& filter, const QString& level) {
    if (filter.kind == QuestionFilter::Mark)
        return level == filter.text;
    return !(numericValue(filter.text) < numericValue(level));
}

// Whether a mark filter keeps the row, by the level of the mark it shows:
// none without a rate.
bool keepsMark(const QuestionFilter& filter, const RowNumbers& row, const KeyedTable& markTable) {
    if (!row.rated())
        return keepsShownLevel(filter, UnmarkedLevel);
    const auto known = filter.levelsKept.constFind(row.level);
    if (known != filter.levelsKept.cend())
        return *known;
    const bool kept =
        keepsShownLevel(filter, levelOfMark(markOfLevel(markTable, row.level), markTable));
    filter.levelsKept.insert(row.level, kept);
    return kept;
}

QuestionFilter rateFilter(const QString& text) {
    const qsizetype from = RatePrefix.size();
    const qsizetype percent = text.indexOf('%', from);
    if (percent < 0)
        return {};
    const QString figure = text.mid(from, percent - from);
    if (text.contains(AtMost))
        return {QuestionFilter::RateAtMost, numericValue(figure), {}};
    return {QuestionFilter::ExactRate, perMilleShownAs(figure), figure + ".0%"};
}

QuestionFilter markFilter(const QString& text, const KeyedTable& markTable) {
    const qsizetype from = MarkPrefix.size();
    const qsizetype quote = text.indexOf('"', from);
    if (quote < 0)
        return {};
    const int row = markTable.find("str" + text.mid(from, quote - from));
    const QString level = row ? markTable.text(row) : QString();
    if (!(numericValue(level) > 0))
        return {};
    return {text.contains(AtMost) ? QuestionFilter::MarkAtMost : QuestionFilter::Mark, 0, level};
}

} // namespace

QString defaultFilter() {
    return u("ﾗﾝﾀﾞﾑに20問だけ選ぶ");
}

QString wrongThisTimeFilter() {
    return u("今回間違えた問題だけ選ぶ");
}

QStringList filterItems(const QStringList& marks) {
    QStringList items{
        u("ﾗﾝﾀﾞﾑに10問だけ選ぶ"),
        defaultFilter(),
        u("ﾗﾝﾀﾞﾑに50問だけ選ぶ"),
        UnsolvedFilter,
        SolvedFilter,
        u("正答率が100%のものだけ選ぶ"),
        u("正答率が75%以下のものだけ選ぶ"),
        u("正答率が50%以下のものだけ選ぶ"),
        u("正答率が25%以下のものだけ選ぶ"),
        u("正答率が0%のものだけ選ぶ"),
    };
    for (qsizetype i = 0; i < marks.size(); ++i) {
        // The first and the last mark stand for themselves; those between
        // take every lower mark with them.
        const bool between = i != 0 && i != marks.size() - 1;
        items << MarkPrefix + marks.at(i) + "\"" + (between ? AtMost : QString()) + u("を選ぶ");
    }
    items << wrongThisTimeFilter() << DueFilter << DueAndNewPrefix + u("20問を選ぶ");
    return items;
}

QuestionFilter parseFilter(const QString& text, const KeyedTable& markTable) {
    if (text.startsWith(RandomPrefix))
        return {QuestionFilter::Random, numericValue(text.mid(RandomPrefix.size())), {}};
    if (text.startsWith(RatePrefix))
        return rateFilter(text);
    if (text == SolvedFilter)
        return {QuestionFilter::Solved, 0, {}};
    if (text == UnsolvedFilter)
        return {QuestionFilter::Unsolved, 0, {}};
    if (text == wrongThisTimeFilter())
        return {QuestionFilter::WrongThisTime, 0, {}};
    if (text.startsWith(MarkPrefix))
        return markFilter(text, markTable);
    if (text == DueFilter)
        return {QuestionFilter::Due, 0, {}};
    if (text.startsWith(DueAndNewPrefix))
        return {QuestionFilter::DueAndNew, numericValue(text.mid(DueAndNewPrefix.size())), {}};
    return {};
}

bool keepsRow(const QuestionFilter& filter, int position, const RowNumbers& row,
              const KeyedTable& markTable) {
    // Rates within the list's plain digits are compared as numbers; the
    // odd ones of a hand-made file (below 0, very large) as their text.
    const auto perMille = [&row] { return ratePerMille(row.correct, row.answered); };
    const auto plainRate = [](double perMille) { return perMille >= 0 && perMille < 1e15; };
    switch (filter.kind) {
    case QuestionFilter::Random:
        return position <= filter.number;
    case QuestionFilter::ExactRate: {
        // A row without a rate counts as "0.0%".
        if (!row.rated())
            return filter.number == 0;
        const double shown = perMille();
        return plainRate(shown) ? shown == filter.number : rateFigure(shown) == filter.text;
    }
    case QuestionFilter::RateAtMost: {
        if (!row.rated())
            return true;
        const double shown = perMille();
        const double percent = plainRate(shown) ? shown / 10.0 : numericValue(rateFigure(shown));
        return !(filter.number < percent);
    }
    case QuestionFilter::Solved:
        return row.answered > 0;
    case QuestionFilter::Unsolved:
        return !(row.answered > 0);
    case QuestionFilter::WrongThisTime:
        return row.wrongThisTime;
    case QuestionFilter::Mark:
    case QuestionFilter::MarkAtMost:
        return keepsMark(filter, row, markTable);
    case QuestionFilter::Due:
    case QuestionFilter::DueAndNew:
    case QuestionFilter::None:
        break;
    }
    return true;
}

QVector<int> chooseRowsBySchedule(const QuestionFilter& filter, const QStringList& keys,
                                  const RowOfKey& rowOf, const Schedules& schedules,
                                  const LearnerRecords& records, const QString& fileId,
                                  const QDateTime& now, double retention) {
    QVector<int> rows;
    if (!filter.choosesBySchedule()) {
        rows.reserve(keys.size());
        for (int row = 1; row <= keys.size(); ++row)
            rows << row;
        return rows;
    }
    rows = dueRows(schedules, rowOf, now, retention);
    if (filter.kind == QuestionFilter::DueAndNew)
        for (const QString& key : newKeys(keys, schedules, records, fileId, filter.number))
            rows << rowOf(key);
    return rows;
}

QStringList chooseBySchedule(const QuestionFilter& filter, const QStringList& keys,
                             const Schedules& schedules, const LearnerRecords& records,
                             const QString& fileId, const QDateTime& now, double retention) {
    return keysOfRows(keys, chooseRowsBySchedule(filter, keys, rowsOfKeys(keys), schedules,
                                                 records, fileId, now, retention));
}
