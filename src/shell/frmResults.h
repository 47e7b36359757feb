#pragma once

#include "learner/Results.h"

#include <QDialog>

class ListView;
class QChartView;
class QLabel;
class QPushButton;
class QTabWidget;

// The results of the open file at a glance: this learner's counts, rates,
// marks and hardest questions, the progress over rounds, the reviews ahead,
// and the class. It
// shows what it is given and changes nothing.
class frmResults : public QDialog {
    Q_OBJECT
  public:
    frmResults(const ResultsData& data, QWidget* parent = nullptr);

    QTabWidget* tabResults = nullptr;
    QLabel* lblCounts = nullptr;
    QChartView* chtRates = nullptr;
    QChartView* chtMarks = nullptr;
    ListView* lstHardest = nullptr;
    QChartView* chtProgress = nullptr; // null when the log shows no rounds
    QLabel* lblRounds = nullptr;
    QLabel* lblRecall = nullptr;
    QChartView* chtForecast = nullptr;
    ListView* lstClassLearners = nullptr;
    ListView* lstClassQuestions = nullptr;
    QPushButton* cmdClassExport = nullptr;
    QPushButton* cmdClose = nullptr;

    // The table as shown, in its present order.
    TextTable shownTable(const ListView* list) const;
    void exportTable(const ListView* list);
    void exportChart(QChartView* chart);

  signals:
    // A double-click on a hardest question: a round of just these.
    void roundRequested(const QStringList& keys);

  private:
    QWidget* learnerPage(const ResultsData& data);
    QWidget* progressPage(const ResultsData& data);
    QWidget* schedulePage(const ResultsData& data);
    QWidget* classPage(const ResultsData& data);
    ListView* tableView(const QString& name, const TextTable& table, const QString& caption);
    QChartView* chartView(const QString& name, const QString& title);
    void lstHardest_DblClick();
};
