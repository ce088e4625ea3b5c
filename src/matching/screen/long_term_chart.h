#pragma once

#include "matching/open_lots.h"

#include <QWidget>

class QBarSet;
class QChart;
class QChartView;

namespace gainbook {

// The lots view's calendar: a bar per month of the next twelve with the
// value of the open lots that turn long term in it. It draws sums worked
// out by longTermCalendar; with none it keeps a clean axis of zero.
class LongTermChart : public QWidget {
    Q_OBJECT

public:
    explicit LongTermChart(QWidget* parent = nullptr);

    void setMonths(const QVector<MonthValue>& months);

    // The one set of bars, a value per month.
    QBarSet* bars() const { return bars_; }
    QStringList monthNames() const;

private:
    QChart* chart_ = nullptr;
    QChartView* view_ = nullptr;
    QBarSet* bars_ = nullptr;
};

} // namespace gainbook
