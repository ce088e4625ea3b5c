#pragma once

#include <QHash>
#include <QObject>
#include <QWidget>

class QLabel;

namespace gainbook {

// Shows a control's hint on the status line when the pointer comes over it;
// leaving the control takes the hint away again. Entering rather than every
// move sets the hint, so a message a command wrote stays readable.
class StatusHints : public QObject {
    Q_OBJECT

public:
    explicit StatusHints(QLabel* status, QObject* parent = nullptr);

    void add(QWidget* control, const QString& hint);
    QString hint(QObject* control) const { return hints_.value(control); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLabel* status_;
    QHash<QObject*, QString> hints_;
};

} // namespace gainbook
