#include "shell/frmResults.h"

#include "platform/AtomicFile.h"
#include "platform/Dialogs.h"
#include "platform/ListView.h"
#include "platform/Texts.h"
#include "platform/Widgets.h"

#include <QAction>
#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QBuffer>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineSeries>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <QValueAxis>

#include <algorithm>

namespace {
// As many dates as fit side by side under the chart at the window's size.
constexpr int ProgressLabels = 8;
// The rounds a listener hears of the progress chart, the latest.
constexpr int ProgressSaid = 10;

// Charts in the program's font and the desktop's colours.
void followDesktop(QChart* chart, const QFont& font) {
    const QPalette palette = QApplication::palette();
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->setBackgroundBrush(palette.brush(QPalette::Base));
    chart->setTitleBrush(palette.brush(QPalette::WindowText));
    chart->setTitleFont(font);
    chart->legend()->setFont(font);
    chart->legend()->setLabelBrush(palette.brush(QPalette::WindowText));
    for (QAbstractAxis* axis : chart->axes()) {
        axis->setLabelsFont(font);
        axis->setTitleFont(font);
        axis->setLabelsBrush(palette.brush(QPalette::WindowText));
        axis->setTitleBrush(palette.brush(QPalette::WindowText));
    }
}

// A count axis of whole numbers from 0.
QValueAxis* countAxis(const QString& title, int largest) {
    auto* axis = new QValueAxis;
    axis->setTitleText(title);
    axis->setLabelFormat(u("%d"));
    // Ticks on whole numbers, at most eight steps of them.
    const int step = std::max(1, (largest + 7) / 8);
    const int steps = std::max(1, (largest + step - 1) / step);
    axis->setRange(0, steps * step);
    axis->setTickCount(steps + 1);
    return axis;
}

void fillBarChart(QChart* chart, const QString& series, const QStringList& categories,
                  const QList<int>& counts, const QString& categoryTitle) {
    auto* set = new QBarSet(series);
    for (const int count : counts)
        *set << count;
    set->setColor(QApplication::palette().color(QPalette::Highlight));
    auto* bars = new QBarSeries;
    bars->append(set);
    chart->addSeries(bars);
    auto* x = new QBarCategoryAxis;
    x->append(categories);
    x->setTitleText(categoryTitle);
    chart->addAxis(x, Qt::AlignBottom);
    bars->attachAxis(x);
    QValueAxis* y = countAxis(
        u("問題数"), counts.isEmpty() ? 0 : *std::max_element(counts.begin(), counts.end()));
    chart->addAxis(y, Qt::AlignLeft);
    bars->attachAxis(y);
    chart->legend()->hide();
}

// A line of text that Tab reaches, so that it is read and selected by
// keyboard alone.
void readByKeyboard(QLabel* label) {
    label->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    label->setFocusPolicy(Qt::StrongFocus);
}

QLabel* caption(const QString& text, QWidget* buddy) {
    auto* label = new QLabel(text);
    label->setBuddy(buddy);
    return label;
}
} // namespace

frmResults::frmResults(const ResultsData& data, QWidget* parent) : QDialog(parent) {
    setObjectName("frmResults");
    setWindowTitle(u("成績の表示 (") + data.learnerName + u("さん)"));
    tabResults = named(new QTabWidget(this), "tabResults");
    tabResults->addTab(learnerPage(data), u("この回答者"));
    tabResults->addTab(progressPage(data), u("成績の推移"));
    tabResults->addTab(schedulePage(data), u("復習の予定"));
    tabResults->addTab(classPage(data), u("ｸﾗｽ"));
    cmdClose = named(new QPushButton(u("閉じる"), this), "cmdClose");
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::accept);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdClose);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabResults);
    layout->addLayout(buttons);
    resize(980, 660);
}

QWidget* frmResults::learnerPage(const ResultsData& data) {
    const LearnerResults& r = data.learner;
    auto* page = new QWidget;
    lblCounts = named(new QLabel(page), "lblCounts");
    lblCounts->setText(u("全 %1問　未回答 %2問　回答済み %3問　正解したことがある %4問　"
                         "前回: %5")
                           .arg(r.questions)
                           .arg(r.neverAnswered)
                           .arg(r.answered)
                           .arg(r.solved)
                           .arg(lastRoundText(data.rounds)));
    // Said by its text as the focus comes: a screen reader says a label's
    // name, not its description.
    readByKeyboard(lblCounts);

    chtRates = chartView("chtRates", u("正解率の分布"));
    QStringList bins;
    for (int bin = 0; bin < RateBins; ++bin)
        bins << rateBinLabel(bin);
    fillBarChart(chtRates->chart(), u("問題数"), bins,
                 QList<int>(r.histogram.begin(), r.histogram.end()), u("正解率(%)"));
    chtRates->setAccessibleDescription(rateChartDescription(r));
    chtMarks = chartView("chtMarks", u("ﾏｰｸごとの問題数"));
    QStringList marks;
    QList<int> markCounts;
    for (const MarkCount& m : r.marks) {
        marks << markLabel(m);
        markCounts << m.questions;
    }
    fillBarChart(chtMarks->chart(), u("問題数"), marks, markCounts, u("ﾏｰｸ"));
    chtMarks->setAccessibleDescription(markChartDescription(r));
    followDesktop(chtRates->chart(), font());
    followDesktop(chtMarks->chart(), font());

    lstHardest = tableView("lstHardest", hardestTable(r), u("苦手な問題"));
    lstHardest->setToolTip(u("ﾀﾞﾌﾞﾙｸﾘｯｸでこれらの問題だけを出題します"));
    connect(lstHardest, &ListView::doubleClicked, this, &frmResults::lstHardest_DblClick);

    auto* charts = new QHBoxLayout;
    charts->addWidget(chtRates, 3);
    charts->addWidget(chtMarks, 2);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(lblCounts);
    layout->addLayout(charts, 3);
    layout->addWidget(caption(u("苦手な問題(&H)　2回以上回答した問題のうち正解率の低いもの。"
                                "ﾀﾞﾌﾞﾙｸﾘｯｸでこれらだけを出題します"),
                              lstHardest));
    layout->addWidget(lstHardest, 2);
    return page;
}

QWidget* frmResults::progressPage(const ResultsData& data) {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    lblRounds = named(new QLabel(page), "lblRounds");
    lblRounds->setWordWrap(true);
    readByKeyboard(lblRounds);
    layout->addWidget(lblRounds);
    const RoundLogRead& log = data.rounds;
    if (log.damaged) {
        lblRounds->setText(u("成績の記録が読めないため、ｸﾞﾗﾌは表示できません。") + "\n" +
                           data.roundLogPath + "\n" + log.reason);
        layout->addStretch();
        return page;
    }
    // Lines that could not be read are left out of the chart, and said.
    const QString skipped = log.skipped ? u("　(読めない%1行を除きました。%2行目: %3)")
                                              .arg(log.skipped)
                                              .arg(log.line)
                                              .arg(log.reason)
                                        : QString();
    if (log.rounds.isEmpty()) {
        lblRounds->setText(u("この問題ﾌｧｲﾙの回の記録はまだありません。回を最後まで"
                             "終えると記録されます。") +
                           skipped);
        layout->addStretch();
        return page;
    }
    lblRounds->setText(u("%1回の記録 (%2)").arg(log.rounds.size()).arg(data.roundLogPath) +
                       skipped);
    chtProgress = chartView("chtProgress", u("回ごとの正解率"));
    chtProgress->setAccessibleDescription(progressChartDescription(log.rounds, ProgressSaid));
    QChart* chart = chtProgress->chart();
    const ProgressChart progress = progressChart(log.rounds, ProgressLabels);
    auto* rates = new QLineSeries;
    rates->setName(u("正解率"));
    for (int i = 0; i < progress.rates.size(); ++i)
        rates->append(i + 1, progress.rates[i]);
    rates->setPointsVisible(true);
    chart->addSeries(rates);
    // The rounds one after the other, each day's date at its first round.
    auto* x = new QCategoryAxis;
    x->setTitleText(u("日付"));
    x->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    for (const RoundLabel& label : progress.labels)
        x->append(label.text, label.round);
    // Half a round of room at either end: one round stands in the middle.
    x->setRange(0.5, progress.rates.size() + 0.5);
    chart->addAxis(x, Qt::AlignBottom);
    auto* y = new QValueAxis;
    y->setTitleText(u("正解率(%)"));
    y->setLabelFormat(u("%d"));
    y->setRange(0, 100);
    y->setTickCount(6);
    chart->addAxis(y, Qt::AlignLeft);
    rates->attachAxis(x);
    rates->attachAxis(y);
    chart->legend()->hide();
    followDesktop(chart, font());
    layout->addWidget(chtProgress, 1);
    return page;
}

QWidget* frmResults::schedulePage(const ResultsData& data) {
    const ScheduleResults& schedule = data.schedule;
    auto* page = new QWidget;
    lblRecall = named(new QLabel(recallText(schedule), page), "lblRecall");
    readByKeyboard(lblRecall);
    chtForecast = chartView(
        "chtForecast", u("これから%1日間に復習の時期が来る問題の数").arg(schedule.dueByDay.size()));
    fillBarChart(chtForecast->chart(), u("問題数"), forecastLabels(schedule),
                 QList<int>(schedule.dueByDay.begin(), schedule.dueByDay.end()),
                 u("日付 (今日の分には時期を過ぎた問題も含みます)"));
    // Thirty dates stand side by side only upright.
    chtForecast->chart()->axes(Qt::Horizontal).value(0)->setLabelsAngle(-90);
    chtForecast->setAccessibleDescription(forecastChartDescription(schedule));
    followDesktop(chtForecast->chart(), font());
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(lblRecall);
    layout->addWidget(chtForecast, 1);
    return page;
}

namespace {
void saveExport(const QString& path, const QByteArray& bytes) {
    QString reason;
    if (!writeFileAtomically(path, bytes, &reason))
        Dialogs::message(u("ﾌｧｲﾙに書き込めませんでした。") + "\r\n" + path + "\r\n" + reason,
                         u("保存中止"), Dialogs::Icon::Exclamation);
}
// The file an export goes to, "" when the learner cancels.
QString exportPath(const QString& title, const QString& filter) {
    Dialogs::FileRequest request;
    request.title = title;
    request.filter = filter;
    request.options = Dialogs::OverwritePrompt | Dialogs::HideReadOnly;
    request.save = true;
    return Dialogs::saveFile(request);
}
} // namespace

QWidget* frmResults::classPage(const ResultsData& data) {
    auto* page = new QWidget;
    lstClassLearners =
        tableView("lstClassLearners", classLearnerTable(data.klass), u("回答者ごと"));
    lstClassQuestions =
        tableView("lstClassQuestions", classQuestionTable(data.klass), u("問題ごと"));
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(caption(u("回答者ごと(&L)　ﾌｫﾙﾀﾞの回答者ﾃﾞｰﾀﾌｧｲﾙから"), lstClassLearners));
    layout->addWidget(lstClassLearners, 1);
    layout->addWidget(
        caption(u("問題ごと(&Q)　ｸﾗｽ全体で正解率の低い問題が上。見出しのｸﾘｯｸで並べ替え"),
                lstClassQuestions));
    layout->addWidget(lstClassQuestions, 2);
    // The class's rates for a spreadsheet: a row per learner, a column per
    // question.
    cmdClassExport =
        named(new QPushButton(u("回答者ごとの正解率を書き出す(&E)…"), page), "cmdClassExport");
    // Composed only when asked for: a class of many learners and questions
    // would hold up the window's opening.
    connect(cmdClassExport, &QPushButton::clicked, this, [klass = data.klass] {
        const QString path =
            exportPath(u("回答者ごとの正解率を書き出す"), u("CSVﾌｧｲﾙ(ｶﾝﾏ区切り) (*.csv)|*.csv"));
        if (!path.isEmpty())
            saveExport(path, classRateSheet(klass));
    });
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdClassExport);
    buttons->addStretch();
    layout->addLayout(buttons);
    return page;
}

ListView* frmResults::tableView(const QString& name, const TextTable& table,
                                const QString& accessibleName) {
    auto* list = named(new ListView, name);
    list->setAccessibleName(accessibleName);
    for (int column = 0; column < table.header.size(); ++column)
        list->addColumn(table.header[column], column == 0 ? 7200 : 1400);
    QVector<ListRowData> rows;
    rows.reserve(table.rows.size());
    for (int row = 0; row < table.rows.size(); ++row)
        rows.append({table.keys.value(row), table.rows[row]});
    list->appendRows(rows);
    connect(list, &ListView::columnClick, list, &ListView::sortByClickedColumn);
    auto* save = named(new QAction(u("ﾃｷｽﾄで保存(&T)…"), list), name + "Export");
    connect(save, &QAction::triggered, this, [this, list] { exportTable(list); });
    list->addAction(save);
    list->setContextMenuPolicy(Qt::ActionsContextMenu);
    return list;
}

QChartView* frmResults::chartView(const QString& name, const QString& title) {
    auto* chart = new QChart;
    chart->setTitle(title);
    auto* view = named(new QChartView(chart), name);
    view->setRenderHint(QPainter::Antialiasing);
    view->setAccessibleName(title);
    view->setFocusPolicy(Qt::StrongFocus);
    view->setMinimumHeight(220);
    auto* save = named(new QAction(u("画像で保存(&P)…"), view), name + "Export");
    connect(save, &QAction::triggered, this, [this, view] { exportChart(view); });
    view->addAction(save);
    view->setContextMenuPolicy(Qt::ActionsContextMenu);
    return view;
}

TextTable frmResults::shownTable(const ListView* list) const {
    TextTable table;
    for (int column = 0; column < list->columnCount(); ++column)
        table.header << list->columnHeader(column);
    for (int row = 1; row <= list->count(); ++row) {
        QStringList cells{list->text(row)};
        for (int column = 1; column < list->columnCount(); ++column)
            cells << list->subItem(row, column);
        table.keys << list->key(row);
        table.rows.append(cells);
    }
    return table;
}

void frmResults::exportTable(const ListView* list) {
    const QString path = exportPath(u("表をﾃｷｽﾄで保存"), u("ﾃｷｽﾄ ﾌｧｲﾙ (*.txt)|*.txt"));
    if (!path.isEmpty())
        saveExport(path, composeTextTable(shownTable(list)));
}

void frmResults::exportChart(QChartView* chart) {
    const QString path = exportPath(u("ｸﾞﾗﾌを画像で保存"), u("PNG 画像 (*.png)|*.png"));
    if (path.isEmpty())
        return;
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    chart->grab().save(&buffer, "PNG");
    saveExport(path, bytes);
}

void frmResults::lstHardest_DblClick() {
    if (!lstHardest->selectedRow())
        return;
    QStringList keys;
    for (int row = 1; row <= lstHardest->count(); ++row)
        keys << lstHardest->key(row);
    emit roundRequested(keys);
    accept();
}
