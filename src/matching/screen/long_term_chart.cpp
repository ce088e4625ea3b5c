#include "matching/screen/long_term_chart.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QLocale>
#include <QVBoxLayout>
#include <QValueAxis>

#include <algorithm>

namespace gainbook {

namespace {

constexpr int kLongTermChartHeight = 190;

} // namespace

LongTermChart::LongTermChart(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("longTermChart"));
    chart_ = new QChart;
    chart_->setTitle(QStringLiteral("Value turning long term, by month"));
    chart_->legend()->hide();
    chart_->setMargins(QMargins(2, 2, 2, 2));
    chart_->setBackgroundRoundness(0);
    auto* series = new QBarSeries(chart_);
    bars_ = new QBarSet(QStringLiteral("Turning long term"));
    const QColor color(0x3c, 0xa5, 0x5c);
    bars_->setColor(color);
    bars_->setBorderColor(color.darker(130));
    series->append(bars_);
    chart_->addSeries(series);
    auto* months = new QBarCategoryAxis(chart_);
    // Small enough that twelve names fit under a narrow chart uncut.
    QFont labels = months->labelsFont();
    labels.setPointSizeF(labels.pointSizeF() * 0.85);
    months->setLabelsFont(labels);
    chart_->addAxis(months, Qt::AlignBottom);
    series->attachAxis(months);
    auto* amounts = new QValueAxis(chart_);
    amounts->setLabelFormat(QStringLiteral("%.0f"));
    chart_->addAxis(amounts, Qt::AlignLeft);
    series->attachAxis(amounts);

    view_ = new QChartView(chart_, this);
    view_->setObjectName(QStringLiteral("longTermChartView"));
    view_->setRenderHint(QPainter::Antialiasing);
    view_->setMinimumHeight(kLongTermChartHeight);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_);
}

void LongTermChart::setMonths(const QVector<MonthValue>& months) {
    bars_->remove(0, bars_->count());
    auto* axis = qobject_cast<QBarCategoryAxis*>(chart_->axes(Qt::Horizontal).value(0));
    const QLocale locale;
    QStringList names;
    double high = 0;
    for (const MonthValue& m : months) {
        // The year shows where it turns, so the next January is not this one.
        QString name = locale.standaloneMonthName(m.month.month(), QLocale::ShortFormat);
        if (m.month.month() == 1 || names.isEmpty())
            name += QStringLiteral(" '") + m.month.toString(QStringLiteral("yy"));
        names << name;
        const double value = m.value.roundedToCents().toDouble();
        bars_->append(value);
        high = std::max(high, value);
    }
    if (axis) {
        axis->clear();
        axis->append(names);
    }
    // Nothing turning long term still draws an axis from zero.
    if (auto* amounts = qobject_cast<QValueAxis*>(chart_->axes(Qt::Vertical).value(0))) {
        amounts->setRange(0, high > 0 ? high * 1.05 : 100);
        amounts->applyNiceNumbers();
    }
}

QStringList LongTermChart::monthNames() const {
    auto* axis = qobject_cast<QBarCategoryAxis*>(chart_->axes(Qt::Horizontal).value(0));
    return axis ? axis->categories() : QStringList();
}

} // namespace gainbook
