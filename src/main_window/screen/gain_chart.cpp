#include "main_window/screen/gain_chart.h"

#include "platform/formats.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QStackedBarSeries>
#include <QVBoxLayout>
#include <QValueAxis>

#include <algorithm>

namespace gainbook {

namespace {

constexpr int kChartHeight = 170;

QBarSet* barSet(const QString& name, const std::array<Money, 12>& months, const QColor& color) {
    auto* set = new QBarSet(name);
    set->setColor(color);
    set->setBorderColor(color.darker(130));
    for (Money month : months)
        set->append(month.roundedToCents().toDouble());
    return set;
}

QLabel* figure(QWidget* parent, const QString& name) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

// The height each month's bars reach above and below zero, the parts of
// one sign stacked on each other.
std::pair<double, double> stackedRange(const QList<QBarSet*>& sets) {
    double low = 0;
    double high = 0;
    for (int month = 0; month < 12; ++month) {
        double up = 0;
        double down = 0;
        for (const QBarSet* set : sets)
            ((*set)[month] >= 0 ? up : down) += (*set)[month];
        high = std::max(high, up);
        low = std::min(low, down);
    }
    return {low, high};
}

} // namespace

GainChart::GainChart(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("gainChart"));
    chart_ = new QChart;
    chart_->setTitle(QStringLiteral("Realized gain by month"));
    chart_->legend()->setAlignment(Qt::AlignRight);
    chart_->setMargins(QMargins(2, 2, 2, 2));
    chart_->setBackgroundRoundness(0);
    series_ = new QStackedBarSeries(chart_);
    chart_->addSeries(series_);

    auto* months = new QBarCategoryAxis(chart_);
    const QLocale locale;
    for (int month = 1; month <= 12; ++month)
        months->append(locale.standaloneMonthName(month, QLocale::ShortFormat));
    // Small enough that twelve names fit under a narrow chart uncut.
    QFont labels = months->labelsFont();
    labels.setPointSizeF(labels.pointSizeF() * 0.85);
    months->setLabelsFont(labels);
    chart_->addAxis(months, Qt::AlignBottom);
    series_->attachAxis(months);
    auto* amounts = new QValueAxis(chart_);
    amounts->setLabelFormat(QStringLiteral("%.0f"));
    chart_->addAxis(amounts, Qt::AlignLeft);
    series_->attachAxis(amounts);

    view_ = new QChartView(chart_, this);
    view_->setObjectName(QStringLiteral("gainChartView"));
    view_->setRenderHint(QPainter::Antialiasing);
    view_->setMinimumHeight(kChartHeight);

    shortFigure_ = figure(this, QStringLiteral("lblShortGain"));
    longFigure_ = figure(this, QStringLiteral("lblLongGain"));
    unknownFigure_ = figure(this, QStringLiteral("lblUnknownGain"));
    totalFigure_ = figure(this, QStringLiteral("lblTotalGain"));
    auto* figures = new QVBoxLayout;
    figures->addStretch();
    for (QLabel* label : {shortFigure_, longFigure_, unknownFigure_, totalFigure_})
        figures->addWidget(label);
    figures->addStretch();

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_, 1);
    layout->addLayout(figures);
    clear();
}

void GainChart::setGains(const MonthlyGains& gains) {
    series_->clear();
    series_->append(
        barSet(QStringLiteral("Short term"), gains.shortTerm, QColor(0x4a, 0x90, 0xd9)));
    series_->append(barSet(QStringLiteral("Long term"), gains.longTerm, QColor(0x3c, 0xa5, 0x5c)));
    const bool unknown = std::any_of(gains.unknownTerm.begin(), gains.unknownTerm.end(),
                                     [](Money m) { return !m.isZero(); });
    if (unknown)
        series_->append(
            barSet(QStringLiteral("Term unknown"), gains.unknownTerm, QColor(0x9e, 0x9e, 0x9e)));

    // The axis spans the stacks with a margin, and always shows zero.
    const auto [low, high] = stackedRange(series_->barSets());
    const double pad = std::max(1.0, (high - low) * 0.05);
    auto* amounts = qobject_cast<QValueAxis*>(chart_->axes(Qt::Vertical).value(0));
    if (amounts) {
        if (low == 0 && high == 0) {
            // Nothing sold: whole numbers from 0 up, not the 0, 0, 0, 1, 1
            // a span of one dollar labels in whole dollars.
            amounts->setRange(0, 100);
            amounts->setTickCount(5);
        } else {
            amounts->setRange(low < 0 ? low - pad : 0, high > 0 ? high + pad : 0 + pad);
            amounts->applyNiceNumbers();
        }
    }

    shortFigure_->setText(QStringLiteral("Short term: ") + formatMoney(gains.shortTotal()));
    longFigure_->setText(QStringLiteral("Long term: ") + formatMoney(gains.longTotal()));
    unknownFigure_->setText(QStringLiteral("Term unknown: ") + formatMoney(gains.unknownTotal()));
    unknownFigure_->setVisible(unknown);
    totalFigure_->setText(QStringLiteral("<b>Total: %1</b>").arg(formatMoney(gains.total())));
}

void GainChart::clear() {
    setGains(MonthlyGains{});
}

QList<QBarSet*> GainChart::barSets() const {
    return series_->barSets();
}

} // namespace gainbook
