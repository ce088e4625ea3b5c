#pragma once

#include "platform/progress.h"
#include "platform/prompter.h"

#include <QElapsedTimer>
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
// It never covers what the run shows: a question asked through above()'s
// prompter, or a window opened under a Pause, hides it, and the half
// second starts again once the answer is in.
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

    // The prompter to hand the run: each of its questions and messages
    // goes through inner with this window out of the way.
    Prompter& above(Prompter& inner);

    // Out of the way while it lives; the half second starts again after.
    class Pause {
    public:
        explicit Pause(ProgressDialog& window);
        ~Pause();
        Pause(const Pause&) = delete;
        Pause& operator=(const Pause&) = delete;

    private:
        ProgressDialog& window_;
    };

    // How long a run goes unseen before the window comes up.
    static constexpr int kShowAfterMs = 500;

private:
    class Above final : public Prompter {
    public:
        explicit Above(ProgressDialog& window) : window_(window) {}
        void message(const QString& text) override;
        bool ask(const QString& question) override;
        Prompter* inner = nullptr;

    private:
        ProgressDialog& window_;
    };

    bool step(qint64 done, qint64 total);

    QProgressDialog dialog_;
    Progress progress_;
    Above above_{*this};
    QElapsedTimer clock_; // since the run's first step, or the last answer
    int paused_ = 0;
};

} // namespace gainbook
