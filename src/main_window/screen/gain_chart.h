#pragma once

#include "report/monthly_gains.h"

#include <QWidget>

class QBarSet;
class QChart;
class QChartView;
class QLabel;
class QStackedBarSeries;

namespace gainbook {

// The tax view's picture of the year: realized gain by month of sale, short
// and long term stacked (and a third part for records whose term is
// unknown, when there are any), with the short-term, long-term and total
// gain in figures beside it. It draws sums worked out elsewhere.
class GainChart : public QWidget {
    Q_OBJECT

public:
    explicit GainChart(QWidget* parent = nullptr);

    void setGains(const MonthlyGains& gains);
    void clear();

    // The bars: "Short term", "Long term" and, when drawn, "Term unknown".
    QList<QBarSet*> barSets() const;
    QLabel* shortFigure() const { return shortFigure_; }
    QLabel* longFigure() const { return longFigure_; }
    QLabel* unknownFigure() const { return unknownFigure_; }
    QLabel* totalFigure() const { return totalFigure_; }

private:
    QChart* chart_ = nullptr;
    QChartView* view_ = nullptr;
    QStackedBarSeries* series_ = nullptr;
    QLabel* shortFigure_ = nullptr;
    QLabel* longFigure_ = nullptr;
    QLabel* unknownFigure_ = nullptr;
    QLabel* totalFigure_ = nullptr;
};

} // namespace gainbook
