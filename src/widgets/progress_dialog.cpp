#include "widgets/progress_dialog.h"

#include <QCoreApplication>

#include <limits>

namespace gainbook {

namespace {

// Thousandths: fine enough for a smooth bar, coarse enough for an int.
constexpr int kScale = 1000;

} // namespace

ProgressDialog::ProgressDialog(QWidget* parent, const QString& label)
    : dialog_(label, QStringLiteral("Cancel"), 0, kScale, parent) {
    dialog_.setObjectName(QStringLiteral("runProgress"));
    if (parent)
        dialog_.setWindowTitle(parent->window()->windowTitle());
    dialog_.setWindowModality(Qt::ApplicationModal);
    // The window keeps its own clock (step()): the dialog's would bring it
    // up over a question the run is asking.
    dialog_.setMinimumDuration(std::numeric_limits<int>::max());
    // The run closes it; reaching the end must not reset Cancel before the
    // run has read it.
    dialog_.setAutoClose(false);
    dialog_.setAutoReset(false);
    dialog_.hide();
    // The half second counts from the run's first step, not from here: a
    // question the run asks before it starts its work (a duplicate capture,
    // records already imported) must not have this window come up over it.
    progress_ = Progress([this](qint64 done, qint64 total) { return step(done, total); });
}

ProgressDialog::~ProgressDialog() {
    dialog_.close();
}

bool ProgressDialog::step(qint64 done, qint64 total) {
    if (!clock_.isValid())
        clock_.start();
    dialog_.setValue(int(done * kScale / qMax<qint64>(total, 1)));
    if (paused_ == 0 && dialog_.isHidden() && clock_.elapsed() >= kShowAfterMs)
        dialog_.show();
    // The pending events, a press of Cancel among them.
    if (dialog_.isVisible())
        QCoreApplication::processEvents();
    return !dialog_.wasCanceled();
}

Prompter& ProgressDialog::above(Prompter& inner) {
    above_.inner = &inner;
    return above_;
}

ProgressDialog::Pause::Pause(ProgressDialog& window) : window_(window) {
    ++window_.paused_;
    window_.dialog_.hide();
}

ProgressDialog::Pause::~Pause() {
    if (--window_.paused_ == 0 && window_.clock_.isValid())
        window_.clock_.restart();
}

void ProgressDialog::Above::message(const QString& text) {
    const Pause pause(window_);
    inner->message(text);
}

bool ProgressDialog::Above::ask(const QString& question) {
    const Pause pause(window_);
    return inner->ask(question);
}

} // namespace gainbook
