#pragma once

#include <QString>

#include <functional>

namespace gainbook {

// Thrown out of a long run when the one watching it asked to stop. Nothing
// catches it on the way but the run itself, so the run's transaction rolls
// back as the stack unwinds and the store is left as it was.
struct RunCancelled {};

// "Processing of A was cancelled; nothing was changed." for "Processing of A".
QString cancelledText(const QString& run);

// How far a long run has got, told to whoever watches it (a progress
// window, the command-line tool's --progress lines, a test), and the
// watcher's one way to stop it. A run takes one by reference and calls
// step() as it goes; without a callback every call costs next to nothing.
class Progress {
public:
    // Told that done of total is done; false asks the run to stop.
    using Callback = std::function<bool(qint64 done, qint64 total)>;

    Progress() = default;
    explicit Progress(Callback callback) : callback_(std::move(callback)) {}

    bool watched() const { return bool(callback_); }

    // Tells the watcher when another thousandth of total is done, and at
    // the first and the last step, so that a million rows cost a thousand
    // calls. Throws RunCancelled when the watcher asks to stop.
    void step(qint64 done, qint64 total);

    // A stretch of this run's scale, from to to (of whole), that a part of
    // the run steps through on a scale of its own: a run that reads, then
    // matches, then writes shows one bar that only moves forward. The part
    // must not outlive this object.
    Progress part(qint64 from, qint64 to, qint64 whole);

private:
    Callback callback_;
    qint64 toldTotal_ = -1;
    qint64 toldShare_ = -1; // thousandths of toldTotal_ last told
};

// The progress of a run nobody watches: the default of every run that takes
// one. Without a callback it keeps no state, so one serves all.
Progress& unwatchedProgress();

} // namespace gainbook
