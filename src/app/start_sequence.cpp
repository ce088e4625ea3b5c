#include "app/start_sequence.h"

#include "platform/settings_store.h"
#include "startup/app_context.h"
#include "startup/components.h"
#include "startup/screen/frm_browse.h"
#include "startup/screen/frm_disclaim.h"
#include "store/sell_years.h"
#include "txf/txf_texts.h"

#include <QApplication>
#include <QEvent>
#include <QPushButton>
#include <QTimer>

namespace gainbook {

StartSequence::StartSequence(AppContext& context, Steps steps, QObject* parent)
    : QObject(parent), context_(context), steps_(std::move(steps)) {}

bool StartSequence::Main(bool timerOn) {
    context_.setPageToShow(context_.docsPage(QStringLiteral("splash.htm")));
    splash_ = new frmBrowse(context_.pageToShow(), context_.docsFolder());
    splash_->setAttribute(Qt::WA_DeleteOnClose);
    splash_->cmdClose->hide();
    // The store is not open yet: the year named is the one the user chose.
    splash_->setNote(txfYearLine(
        parseTaxYear(context_.settings().value(kTaxYearSection, kTaxYearKey, QString()))));
    // Queued: the disclaimer runs its own event loop, which must not run
    // inside the handler of the window being closed.
    connect(splash_, &frmBrowse::splashDone, this, &StartSequence::splashDone,
            Qt::QueuedConnection);
    if (steps_.checkComponents && !steps_.checkComponents()) {
        splash_->close();
        steps_.endProgram(0);
        return false;
    }
    if (timerOn) {
        splash_->Timer1->start();
        // The page's own widgets take the input, so it is watched for the
        // whole program while the splash waits.
        qApp->installEventFilter(this);
    }
    splash_->show();
    return true;
}

bool StartSequence::eventFilter(QObject* watched, QEvent* event) {
    const bool input =
        event->type() == QEvent::MouseButtonPress || event->type() == QEvent::KeyPress;
    if (!input || !splash_ || !splash_->Timer1->isActive() || !watched->isWidgetType())
        return QObject::eventFilter(watched, event);
    if (static_cast<QWidget*>(watched)->window() != splash_)
        return QObject::eventFilter(watched, event);
    splash_->Timer1_Timer();
    return true;
}

void StartSequence::splashDone() {
    qApp->removeEventFilter(this);
    if (steps_.askDisclaimer())
        steps_.showMain();
    else
        steps_.endProgram(0);
}

std::function<bool()> StartSequence::componentStep(AppContext& context, Prompter& prompter) {
    return [&context, &prompter] {
        return CheckComponents(context.settings(), prompter,
                               requiredComponents(context.docsFolder()));
    };
}

bool StartSequence::showDisclaimer() {
    frmDisclaim dialog;
    return dialog.exec() == QDialog::Accepted;
}

} // namespace gainbook
