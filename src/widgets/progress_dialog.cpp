#include "widgets/progress_dialog.h"

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
    dialog_.setMinimumDuration(500);
    // The run closes it; reaching the end must not reset Cancel before the
    // run has read it.
    dialog_.setAutoClose(false);
    dialog_.setAutoReset(false);
    // The half second counts from the run's first step, not from here: a
    // question the run asks before it starts its work (a duplicate capture,
    // records already imported) must not have this window come up over it.
    progress_ = Progress([this](qint64 done, qint64 total) {
        // A modal dialog handles the pending events here, a press of Cancel
        // among them.
        dialog_.setValue(int(done * kScale / qMax<qint64>(total, 1)));
        return !dialog_.wasCanceled();
    });
}

ProgressDialog::~ProgressDialog() {
    dialog_.close();
}

} // namespace gainbook
