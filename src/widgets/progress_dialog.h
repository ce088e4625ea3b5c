#pragma once

#include "platform/progress.h"

#include <QProgressDialog>

namespace gainbook {

// The window a screen shows while a long run of the core works: it comes
// up only once the run has taken half a second, shows how far it got as a
// percentage, and its Cancel (or Esc, or closing it) stops the run at its
// next step, which rolls the run back. It blocks every window of the
// program, not only its own: the others share the run's database
// connection, and a write made from one of them while the run waits would
// land in the run's transaction and be rolled back with it.
//
//     ProgressDialog window(this, QStringLiteral("Processing A"));
//     const Outcome outcome = session.Process(window.progress());
class ProgressDialog {
public:
    ProgressDialog(QWidget* parent, const QString& label);
    ~ProgressDialog();

    ProgressDialog(const ProgressDialog&) = delete;
    ProgressDialog& operator=(const ProgressDialog&) = delete;

    Progress& progress() { return progress_; }
    QProgressDialog& dialog() { return dialog_; }

private:
    QProgressDialog dialog_;
    Progress progress_;
};

} // namespace gainbook
