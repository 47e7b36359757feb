#pragma once

#include "data/QuestionDocument.h"
#include "formats/LearnerFile.h"
#include "formats/RoundLog.h"
#include "learner/Schedule.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>

#include <array>
#include <utility>

class KeyedTable;

// What the results window shows, computed from the open file's questions,
// the learners' records and the round log; the window only shows it.

// Rates fall into ten bins of ten percent each, 100% into the last. The rate
// is taken as the list shows it, to one decimal: 9.9% is in the first bin,
// 10.0% in the second.
constexpr int RateBins = 10;
int rateBin(double correct, double answered);
QString rateBinLabel(int bin); // "0～", "10～", …, "90～"

struct HardQuestion {
    QString key;
    QString text;
    int correct = 0;
    int answered = 0;
    QDate due; // its next review; none while it is new to the schedule
};

struct MarkCount {
    QString mark; // "" for the questions without a mark
    int questions = 0;
};
// The mark as a chart names it: "なし" for the questions without a mark.
QString markLabel(const MarkCount& mark);

// One learner's results for the open file.
struct LearnerResults {
    int questions = 0;
    int neverAnswered = 0;
    int answered = 0;
    int solved = 0; // answered right at least once
    std::array<int, RateBins> histogram{};
    QVector<MarkCount> marks; // each mark in the order given, then those without
    // The lowest rates among the questions answered at least twice, lowest
    // first; of equal rates the more often answered first.
    QVector<HardQuestion> hardest;
};

// `marks` are the mark texts in their order; `markTable` turns a record's
// level into its mark ("key" + level), as the question list does.
LearnerResults learnerResults(const QVector<QuestionEntry>& questions,
                              const LearnerRecords& records, const QString& fileId,
                              const QStringList& marks, const KeyedTable& markTable,
                              int hardestCount);

// One learner of the class.
struct ClassLearner {
    QString name;
    QString unreadable; // why the learner file cannot be read, "" when it can
    int answered = 0;
    int solved = 0;
    double rateSum = 0; // the rates of the answered questions, each from 0 to 1
    // Each question's right answers and answers, in the file's order.
    QVector<std::pair<double, double>> counts;
};

// One question as the whole class answered it.
struct ClassQuestion {
    QString key;
    QString text;
    int place = 0;    // in the file's order
    int learners = 0; // learners who answered it
    double correct = 0;
    double answered = 0;
};

struct ClassResults {
    QVector<ClassLearner> learners; // in the order of their names
    // The questions the class gets wrong most first: lowest combined rate,
    // then most wrong answers; those nobody answered last.
    QVector<ClassQuestion> questions;
};

// The class: every learner file in `folder` with records for the open file,
// read only. The current learner's records come from memory, which may be
// newer than the file. A file that cannot be read is listed with the reason
// and counts for nothing else.
ClassResults classResults(const QString& folder, const QVector<QuestionEntry>& questions,
                          const QString& fileId, const QString& currentLearner,
                          const LearnerRecords& currentRecords);

// A table to show and to export: a header row and rows of cells. Numbers are
// padded to six characters like the question list's, so a text sort orders
// them by value.
struct TextTable {
    QStringList header;
    QStringList keys; // one per row: a question key or a learner's name
    QVector<QStringList> rows;
};
TextTable hardestTable(const LearnerResults& results);
TextTable classLearnerTable(const ClassResults& results);
TextTable classQuestionTable(const ClassResults& results);

// The class for a spreadsheet: one row per learner who could be read, a
// column per question in the file's order holding the learner's rate in
// percent with one decimal (empty where the learner never answered it).
// Comma-separated, UTF-8 with a byte order mark, CR LF after each row.
QByteArray classRateSheet(const ClassResults& results);

// The table as UTF-8 text: the header and each row on a line of their own,
// cells separated by tabs, without the blanks (U+0020) around them; tabs and line
// breaks inside a cell become blanks. Lines end in CR LF.
QByteArray composeTextTable(const TextTable& table);

// The learner's schedule at a moment, aiming at a retention.
struct ScheduleAt {
    Schedules schedules;
    QDateTime now;
    double retention = DefaultRetention;
};

// What lies ahead in the schedule of the open file's questions.
struct ScheduleResults {
    QDate firstDay; // today
    // How many questions fall due on each day from today, those already due
    // today.
    QVector<int> dueByDay;
    // The mean chance of recalling now the questions in the schedule; none
    // when no question is.
    std::optional<double> meanRecall;
    double retention = DefaultRetention;
};
// The days ahead the forecast covers.
constexpr int ForecastDays = 30;

// Everything the results window shows for the open file and the current
// learner.
struct ResultsData {
    QString learnerName;
    LearnerResults learner;
    QString roundLogPath;
    RoundLogRead rounds;
    ClassResults klass;
    ScheduleResults schedule;
};
// The hardest questions shown.
constexpr int HardestShown = 20;
ResultsData collectResults(const QString& folder, const QString& learnerName,
                           const QVector<QuestionEntry>& questions, const LearnerRecords& records,
                           const QString& fileId, const QStringList& marks,
                           const KeyedTable& markTable, const ScheduleAt& schedule);

// The schedule's forecast and recall for these questions.
ScheduleResults scheduleResults(const QVector<QuestionEntry>& questions,
                                const ScheduleAt& schedule);

// The forecast's days as the chart names them, "12/8", one per day.
QStringList forecastLabels(const ScheduleResults& schedule);
// "回答した問題を今思い出せる見込み: 平均 87.3%　(復習の目標 90%)", or that
// there is no answer in the log yet.
QString recallText(const ScheduleResults& schedule);

// "8問中 6問正解 (75.0%)" for the latest round, "―" before the first.
QString lastRoundText(const RoundLogRead& rounds);

// The chart of the rounds, oldest first: each round's rate in percent (0 to
// 100; 0 for a round without questions) at its number from 1, so that a
// short round is no fall. A date labels the first round of its day, "M月d日",
// with the year ("yyyy/M/d") when the rounds span more than one; of labels
// that would crowd each other, at most `maxLabels` are kept, spread evenly.
// No label repeats another.
struct RoundLabel {
    int round = 0;
    QString text;
};
struct ProgressChart {
    QVector<double> rates;
    QVector<RoundLabel> labels;
};
ProgressChart progressChart(const QVector<RoundEntry>& rounds, int maxLabels);

// What the charts show, said to a listener who cannot see them: each bar
// with its count, "0%～ 3問、10%～ 0問、…" and "◎ 2問、なし 5問"; the latest
// `latest` rounds, the newest first, each with its day (as the chart labels
// it) and result: "新しい順に 12月8日 10問中 5問正解 (50.0%)、…".
QString rateChartDescription(const LearnerResults& results);
QString markChartDescription(const LearnerResults& results);
QString progressChartDescription(const QVector<RoundEntry>& rounds, int latest);
// The days of the forecast that have questions: "12月8日 3問、12月10日 1問",
// or that none falls due.
QString forecastChartDescription(const ScheduleResults& schedule);
