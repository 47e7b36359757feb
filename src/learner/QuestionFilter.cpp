#include "learner/QuestionFilter.h"

#include "platform/KeyedTable.h"
#include "platform/Texts.h"

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

QuestionFilter rateFilter(const QString& text) {
    const qsizetype from = RatePrefix.size();
    const qsizetype percent = text.indexOf('%', from);
    if (percent < 0)
        return {};
    const QString figure = text.mid(from, percent - from);
    if (text.contains(AtMost))
        return {QuestionFilter::RateAtMost, numericValue(figure), {}};
    return {QuestionFilter::ExactRate, 0, figure + ".0%"};
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

bool keepsRow(const QuestionFilter& filter, int position, const RowStatistics& row,
              const KeyedTable& markTable) {
    switch (filter.kind) {
    case QuestionFilter::Random:
        return position <= filter.number;
    case QuestionFilter::ExactRate: {
        const QString rate = row.rate.trimmed();
        return (rate.isEmpty() ? QStringLiteral("0.0%") : rate) == filter.text;
    }
    case QuestionFilter::RateAtMost: {
        const qsizetype percent = row.rate.indexOf('%');
        return percent < 0 || !(filter.number < numericValue(row.rate.left(percent)));
    }
    case QuestionFilter::Solved:
        return numericValue(row.answered) > 0;
    case QuestionFilter::Unsolved:
        return !(numericValue(row.answered) > 0);
    case QuestionFilter::WrongThisTime:
        return row.thisRound == u("×");
    case QuestionFilter::Mark:
        return levelOfMark(row.mark, markTable) == filter.text;
    case QuestionFilter::MarkAtMost:
        return !(numericValue(filter.text) < numericValue(levelOfMark(row.mark, markTable)));
    case QuestionFilter::Due:
    case QuestionFilter::DueAndNew:
    case QuestionFilter::None:
        break;
    }
    return true;
}

QStringList chooseBySchedule(const QuestionFilter& filter, const QStringList& keys,
                             const Schedules& schedules, const LearnerRecords& records,
                             const QString& fileId, const QDateTime& now, double retention) {
    if (!filter.choosesBySchedule())
        return keys;
    QStringList chosen = dueKeys(keys, schedules, now, retention);
    if (filter.kind == QuestionFilter::DueAndNew)
        chosen += newKeys(keys, schedules, records, fileId, filter.number);
    return chosen;
}
