#include "capture/screen/frm_capture.h"

#include "capture/broker_entries.h"
#include "capture/capture_run.h"
#include "capture/capture_source.h"
#include "capture/screen/capture_browser.h"
#include "capture/screen/frm_column_mapping.h"
#include "capture/screen/frm_reconcile.h"
#include "capture/sheet_rows.h"
#include "gains/gains_import.h"
#include "gains/reconcile.h"
#include "matching/run_end.h"
#include "platform/prompter.h"
#include "platform/settings_store.h"
#include "platform/tell_outcome.h"
#include "startup/app_context.h"
#include "startup/screen/frm_browse.h"
#include "widgets/progress_dialog.h"
#include "widgets/window_placement.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressDialog>
#include <QPushButton>
#include <QWebEngineProfile>
#include <QWebEngineView>

namespace gainbook {

namespace {

const QString kLastCaptureSection = QStringLiteral("Capture");
const QString kLastEntryKey = QStringLiteral("LastEntry");
const QString kLastFileKey = QStringLiteral("LastFile");
const QString kZoneKey = QStringLiteral("Zone");

constexpr int kEnter = 13;

template <typename T> T* named(T* widget, const QString& name) {
    widget->setObjectName(name);
    return widget;
}

QPushButton* button(const QString& name, const QString& caption, QWidget* parent) {
    auto* b = named(new QPushButton(caption, parent), name);
    // Enter belongs to the address box, never to a default button.
    b->setAutoDefault(false);
    b->setDefault(false);
    return b;
}

QFrame* line(const QString& name, QWidget* parent) {
    auto* l = named(new QFrame(parent), name);
    l->setFrameShape(QFrame::HLine);
    l->setFrameShadow(QFrame::Sunken);
    return l;
}

// Messages of a run appear over the screen, not under the busy indicator.
class ClearingPrompter final : public Prompter {
public:
    ClearingPrompter(Prompter& inner, std::function<void()> clear)
        : inner_(inner), clear_(std::move(clear)) {}
    void message(const QString& text) override {
        clear_();
        inner_.message(text);
    }
    bool ask(const QString& question) override {
        clear_();
        return inner_.ask(question);
    }
    std::optional<QString> askText(const QString& question, const QString& proposed) override {
        clear_();
        return inner_.askText(question, proposed);
    }

private:
    Prompter& inner_;
    std::function<void()> clear_;
};

QString chooseFile(QWidget* parent, const QString& startIn) {
    return QFileDialog::getOpenFileName(
        parent, QStringLiteral("Open"), startIn,
        QStringLiteral("Pages and spreadsheets (*.htm *.html *.csv *.xls *.xlsx);;"
                       "Spreadsheets (*.csv *.xls *.xlsx);;All files (*)"));
}

} // namespace

frmCapture::frmCapture(AppContext& context, Prompter& prompter, QWidget* parent)
    : QDialog(parent), context_(context), prompter_(prompter) {
    setObjectName(QStringLiteral("frmCapture"));
    setWindowTitle(QStringLiteral("Capture Transaction / Tax Records"));
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    setSizeGripEnabled(true);
    CommonDialog1 = [this](const QString& startIn) { return chooseFile(this, startIn); };

    // Cookies and log-ins last as long as the screen, which lives for the
    // program's run: a broker's site stays logged in between openings.
    profile_ = new QWebEngineProfile(this);

    Label4 = named(new QLabel(QStringLiteral("Account With"), this), QStringLiteral("Label4"));
    List1 = named(new QListWidget(this), QStringLiteral("List1"));
    Label1 = named(new QLabel(QStringLiteral("FileName/URL"), this), QStringLiteral("Label1"));
    Text1 = named(new QLineEdit(QStringLiteral("welcome.html"), this), QStringLiteral("Text1"));
    Command3 = button(QStringLiteral("Command3"), QStringLiteral("Open"), this);
    Command4 = button(QStringLiteral("Command4"), QStringLiteral("Browse"), this);
    Frame1 = named(new QGroupBox(QStringLiteral("Save As"), this), QStringLiteral("Frame1"));
    Check1 =
        named(new QCheckBox(QStringLiteral("Derive from Data"), Frame1), QStringLiteral("Check1"));
    Label2 = named(new QLabel(QStringLiteral("AccountName"), Frame1), QStringLiteral("Label2"));
    Text2 = named(new QLineEdit(QStringLiteral("Account1"), Frame1), QStringLiteral("Text2"));
    Label3 = named(new QLabel(QStringLiteral("Txn Month"), Frame1), QStringLiteral("Label3"));
    Text3 = named(new QLineEdit(QStringLiteral("Month1"), Frame1), QStringLiteral("Text3"));
    Check2 = named(new QCheckBox(QStringLiteral("Paste Data"), this), QStringLiteral("Check2"));
    Zone = named(new QLineEdit(this), QStringLiteral("Zone"));
    Zone->setPlaceholderText(QStringLiteral("UTC"));
    Zone->setToolTip(QStringLiteral("The time zone whose dates exchanges' timestamps take: a "
                                    "name such as America/New_York or an offset such as "
                                    "UTC-05:00; empty for UTC"));
    Text4 = named(new QPlainTextEdit(this), QStringLiteral("Text4"));
    Text4->setLineWrapMode(QPlainTextEdit::NoWrap);
    Text4->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Text4->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Text4->hide();
    browser_ = new CaptureBrowser(profile_, this);
    WebBrowser1 = browser_->view();
    Command1 = button(QStringLiteral("Command1"), QStringLiteral("Capture Data"), this);
    Command1->setEnabled(false);
    Command2 = button(QStringLiteral("Command2"), QStringLiteral("Close"), this);
    Status = named(new QLabel(this), QStringLiteral("Status"));
    Status->setFrameShape(QFrame::Panel);
    Status->setFrameShadow(QFrame::Sunken);
    Line1 = line(QStringLiteral("Line1"), this);
    Line2 = line(QStringLiteral("Line2"), this);
    ImportGains = button(QStringLiteral("ImportGains"), QStringLiteral("Import Gains"), this);
    Reconcile = button(QStringLiteral("Reconcile"), QStringLiteral("Reconcile"), this);
    ImportGains->setToolTip(QStringLiteral(
        "Adds the lots of the realized gain/loss file named above to the account as tax records"));
    Reconcile->setToolTip(QStringLiteral(
        "Compares the realized gain/loss file named above with the account's tax records"));
    showReconcile = [](frmReconcile& grid) { grid.exec(); };
    showMapping = [](frmColumnMapping& dialog) { return dialog.exec() == QDialog::Accepted; };

    buildLayout();

    connect(List1, &QListWidget::currentRowChanged, this, &frmCapture::List1_Click);
    // A click on the entry already chosen counts as choosing it again (it
    // brings the browser back in place of the paste box).
    connect(List1, &QListWidget::itemClicked, this, &frmCapture::List1_Click);
    connect(Check1, &QCheckBox::toggled, this, &frmCapture::Check1_Click);
    connect(Check2, &QCheckBox::toggled, this, &frmCapture::Check2_Click);
    connect(Command4, &QPushButton::clicked, this, &frmCapture::Command4_Click);
    connect(Command3, &QPushButton::clicked, this, &frmCapture::Command3_Click);
    connect(Text1, &QLineEdit::returnPressed, this, [this] { Text1_KeyPress(kEnter); });
    // Pasted text is a document to capture as much as a page that loaded.
    connect(Text4, &QPlainTextEdit::textChanged, this, [this] {
        if (!capturing_ && !Text4->document()->isEmpty())
            Command1->setEnabled(true);
    });
    connect(Command1, &QPushButton::clicked, this, &frmCapture::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &frmCapture::Command2_Click);
    connect(ImportGains, &QPushButton::clicked, this, &frmCapture::ImportGains_Click);
    connect(Reconcile, &QPushButton::clicked, this, &frmCapture::Reconcile_Click);
    connect(browser_, &CaptureBrowser::statusText, this, &frmCapture::WebBrowser1_StatusTextChange);
    connect(browser_, &CaptureBrowser::failure, this, [this](const QString& text, bool inPage) {
        Status->setText(text);
        // A page error is on show in the browser; a sheet that could not be
        // read would otherwise leave the old document there unexplained.
        if (!inPage)
            prompter_.message(text);
    });

    resize(980, 700);
    new WindowPlacement(this, context_.settings());
    Form_Load();

    // Tab follows the reading order, row by row across the three columns,
    // then the sheet and the paste box. Created in another order, Open came
    // before Browse and Capture Data after the paste box. Set last, once
    // loading has settled the browser area; the page's view places its own
    // focus proxy and is left where it puts it.
    QWidget* const order[] = {
        List1, Text1, Command4, Command3,    Check2,    Command1, Check1,
        Text2, Text3, Command2, ImportGains, Reconcile, Zone,     browser_->sheetGrid(),
        Text4};
    for (std::size_t i = 1; i < std::size(order); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

frmCapture::~frmCapture() {
    // Pages must go before the profile they use.
    delete browser_;
}

void frmCapture::buildLayout() {
    auto* save = new QHBoxLayout(Frame1);
    save->addWidget(Check1);
    save->addSpacing(12);
    save->addWidget(Label2);
    save->addWidget(Text2, 1);
    save->addSpacing(12);
    save->addWidget(Label3);
    save->addWidget(Text3, 1);

    auto* address = new QHBoxLayout;
    address->addWidget(Text1, 1);
    address->addWidget(Command4);
    address->addWidget(Command3);

    // Seven entries at a time, as the historic list had; the presets and
    // saved mappings below them scroll into view.
    List1->setFixedWidth(150);
    List1->setFixedHeight(List1->fontMetrics().height() * 7 + 16);

    auto* top = new QGridLayout;
    top->addWidget(Label4, 0, 0);
    top->addWidget(List1, 1, 0, 3, 1);
    top->addWidget(Label1, 0, 1);
    top->addLayout(address, 1, 1);
    top->addWidget(Frame1, 2, 1);
    top->addWidget(Check2, 0, 2);
    top->addWidget(Command1, 1, 2);
    top->addWidget(Command2, 2, 2, Qt::AlignTop);
    auto* gains = new QHBoxLayout;
    gains->addWidget(new QLabel(QStringLiteral("Realized gain/loss file:"), this));
    gains->addWidget(ImportGains);
    gains->addWidget(Reconcile);
    gains->addStretch(1);
    auto* zoneLabel = new QLabel(QStringLiteral("Exchange time zone:"), this);
    zoneLabel->setBuddy(Zone);
    gains->addWidget(zoneLabel);
    Zone->setFixedWidth(170);
    gains->addWidget(Zone);
    top->addLayout(gains, 3, 1);
    top->setColumnStretch(1, 1);
    top->setRowStretch(3, 1);
    for (QPushButton* b : {Command1, Command2, Command3, Command4, ImportGains, Reconcile})
        b->setMinimumWidth(90);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 4);
    layout->addLayout(top);
    layout->addWidget(Line1);
    layout->addWidget(browser_, 1);
    layout->addWidget(Text4, 1);
    layout->addWidget(Line2);
    layout->addWidget(Status);
}

QString frmCapture::docsFolder() const {
    return context_.docsFolder();
}

void frmCapture::Form_Load() {
    List1->addItems(screenEntryOrder());
    // The column mappings saved for sheets without headings follow "Other".
    for (const ColumnMapping& mapping : savedMappings(context_.settings()))
        List1->addItem(mapping.name);
    for (QWidget* w : {static_cast<QWidget*>(Label2), static_cast<QWidget*>(Label3),
                       static_cast<QWidget*>(Text2), static_cast<QWidget*>(Text3)})
        w->setEnabled(false);
    List1->setCurrentRow(0);
    // "Detect" reads files: the address stays the folder its choice gave.
    if (!brokerEntries().front().homeAddress.isEmpty())
        Text1->setText(brokerEntries().front().homeAddress);
    Text3->setText(QStringLiteral("All"));
    showStartPage();
    // The screen opens on the entry and the file of the last capture.
    const QString lastEntry =
        context_.settings().value(kLastCaptureSection, kLastEntryKey, QString());
    if (const auto found = List1->findItems(lastEntry, Qt::MatchExactly); !found.isEmpty()) {
        List1->setCurrentItem(found.front());
        List1_Click();
    }
    const QString lastFile =
        context_.settings().value(kLastCaptureSection, kLastFileKey, QString());
    if (!lastFile.isEmpty() && QFileInfo(lastFile).isFile())
        Text1->setText(QDir::toNativeSeparators(lastFile));
    Zone->setText(context_.settings().value(kLastCaptureSection, kZoneKey, QString()));
}

void frmCapture::showStartPage() {
    // The shipped page explains the screen until the user opens something;
    // it is not a document to capture, so its loading stays silent and
    // "Capture Data" waits for the user's own page.
    Command1->setEnabled(false);
    const CaptureSource welcome = resolveCaptureSource(welcomePageName(), docsFolder(), QString());
    browser_->openQuietly(QFileInfo::exists(welcome.path) ? welcome.url
                                                          : QUrl(QStringLiteral("about:blank")));
}

void frmCapture::showModal() {
    if (!placed_ && parentWidget()) {
        move(parentWidget()->frameGeometry().topLeft() +
             QPoint(twipsToPixels(500), twipsToPixels(500)));
        placed_ = true;
    }
    exec();
}

CaptureState frmCapture::fields() const {
    CaptureState state;
    if (const QListWidgetItem* item = List1->currentItem())
        state.entry = item->text();
    if (!findBrokerEntry(state.entry))
        state.mapping = savedMapping(context_.settings(), state.entry);
    state.address = Text1->text();
    state.accountNames.remembered = &context_.settings();
    state.account = Text2->text();
    state.month = Text3->text();
    state.deriveFromData = Check1->isChecked();
    // The paste box is read only while it is the one on show: choosing a
    // broker brings the browser back with the box still checked.
    state.pasteData = Check2->isChecked() && !Text4->isHidden();
    state.pasteEnabled = Check2->isEnabled();
    state.pastedText = Text4->toPlainText();
    state.zone = Zone->text().trimmed();
    state.status = Status->text();
    return state;
}

void frmCapture::showFields(const CaptureState& state) {
    Text1->setText(state.address);
    Check1->setChecked(state.deriveFromData);
    Text2->setText(state.account);
    Text3->setText(state.month);
    Check2->setEnabled(state.pasteEnabled);
}

void frmCapture::showBrowser(bool shown) {
    Text4->setVisible(!shown);
    browser_->setVisible(shown);
}

void frmCapture::List1_Click() {
    const QListWidgetItem* item = List1->currentItem();
    const BrokerEntry* entry = item ? findBrokerEntry(item->text()) : nullptr;
    // A saved mapping reads spreadsheets as "Other" does and starts the
    // fields as "Other" sets them.
    const bool mapped = !entry && item && savedMapping(context_.settings(), item->text());
    if (mapped)
        entry = findBrokerEntry(QStringLiteral("Other"));
    if (!entry)
        return;
    // The page on show belongs to the broker chosen before: captured as the
    // new one's it gives no rows, or wrong ones. A click on the entry
    // already chosen keeps it.
    const bool otherBroker = !shownEntry_.isEmpty() && shownEntry_ != entry->name;
    shownEntry_ = entry->name;
    // A spreadsheet named or opened stays: a download is read by whichever
    // entry is chosen for it, and picking the entry after opening it is
    // common. A saved web page belongs to its broker.
    const QString address = Text1->text();
    const QFileInfo named(address);
    const bool fileOpen =
        named.isFile() && !named.suffix().startsWith(QLatin1String("htm"), Qt::CaseInsensitive);
    if (otherBroker && !capturing_ && !fileOpen) {
        showStartPage();
        Status->clear();
    }
    Check1->setChecked(true);
    Check2->setEnabled(false);
    CaptureState state = fields();
    chooseBrokerEntry(state, *entry, QDir::currentPath(),
                      QDir(docsFolder()).filePath(welcomePageName()));
    if (fileOpen)
        state.address = address;
    showFields(state);
    if (Check2->isChecked())
        showBrowser(true);
}

void frmCapture::Check1_Click() {
    const bool typed = !Check1->isChecked();
    for (QWidget* w : {static_cast<QWidget*>(Label2), static_cast<QWidget*>(Label3),
                       static_cast<QWidget*>(Text2), static_cast<QWidget*>(Text3)})
        w->setEnabled(typed);
}

void frmCapture::Check2_Click() {
    showBrowser(!Check2->isChecked());
}

void frmCapture::Command4_Click() {
    const QFileInfo current(Text1->text());
    QString startIn = QDir::currentPath();
    if (current.isDir())
        startIn = current.absoluteFilePath();
    else if (current.isFile())
        startIn = current.absolutePath();
    const QString chosen = CommonDialog1 ? CommonDialog1(startIn) : QString();
    if (!chosen.isEmpty())
        Text1->setText(QDir::toNativeSeparators(chosen));
}

void frmCapture::Command3_Click() {
    if (!capturing_)
        Command1->setEnabled(true);
    browser_->open(resolveCaptureSource(Text1->text(), docsFolder(), QDir::currentPath()));
}

void frmCapture::Text1_KeyPress(int KeyAscii) {
    if (KeyAscii == kEnter)
        Command3_Click();
}

void frmCapture::WebBrowser1_StatusTextChange(const QString& Text) {
    if (Text.contains(QStringLiteral("ing")))
        Status->setText(Text);
    if (Text == QStringLiteral("Done")) {
        if (!capturing_)
            Command1->setEnabled(true);
        if (Status->text().contains(QStringLiteral("ing")))
            Status->setText(QStringLiteral("Done"));
    }
}

void frmCapture::Command1_Click() {
    if (capturing_)
        return;
    CaptureState state = fields();
    // The fields are checked before the page is read, which may take long.
    const Outcome ready = checkCaptureFields(state);
    Status->setText(state.status);
    if (!ready.done()) {
        tellOutcome(prompter_, ready);
        emit captureFinished(0);
        return;
    }

    capturing_ = true;
    Command1->setEnabled(false);
    busy_ = new QProgressDialog(QStringLiteral("Capturing records..."), QString(), 0, 0, this);
    busy_->setObjectName(QStringLiteral("captureProgress"));
    busy_->setWindowTitle(windowTitle());
    busy_->setWindowModality(Qt::WindowModal);
    busy_->setMinimumDuration(0);
    busy_->show();

    if (state.pasteData) {
        finishCapture(PageDocument{}, QString());
        return;
    }
    QPointer<frmCapture> self = this;
    browser_->snapshot([self](std::optional<PageDocument> document, QString error) {
        if (self)
            self->finishCapture(std::move(document), error);
    });
}

void frmCapture::finishCapture(std::optional<PageDocument> document, const QString& error) {
    const auto clearBusy = [this] {
        if (busy_) {
            busy_->hide();
            busy_->deleteLater();
            busy_ = nullptr;
        }
        while (QApplication::overrideCursor())
            QApplication::restoreOverrideCursor();
    };
    Outcome outcome;
    if (!document) {
        clearBusy();
        Status->clear();
        prompter_.message(error.isEmpty() ? QStringLiteral("The page could not be read.") : error);
    } else {
        // The fields as they are now: the rows are filed under what the
        // user sees when the run starts.
        CaptureState state = fields();
        state.status = Status->text();
        // The duplicate question and the messages at the end find the fields
        // showing what the parser took from the page, and the status line
        // the result.
        const auto showRun = [this, &state, &clearBusy] {
            clearBusy();
            Text2->setText(state.account);
            Text3->setText(state.month);
            Status->setText(state.status);
        };
        ClearingPrompter clearing(prompter_, showRun);
        QApplication::setOverrideCursor(Qt::WaitCursor);
        try {
            // The busy window stays while the page is read and gives way to
            // the progress window once the rows are being written; neither
            // stays over a question or the Map Columns window.
            ProgressDialog window(this, QStringLiteral("Capturing records..."));
            Prompter& prompter = window.above(clearing);
            Progress progress([&](qint64 done, qint64 total) {
                clearBusy();
                window.progress().step(done, total);
                return true;
            });
            outcome =
                runCapture(*document, state, context_.database().connection(), prompter, progress);
            if (outcome.stopped() && outcome.message == missingHeadingMessage() && !state.mapping &&
                document->isSheet()) {
                showRun();
                std::optional<ColumnMapping> mapping;
                {
                    const ProgressDialog::Pause pause(window);
                    mapping = askForMapping(*document->sheet, state.settings());
                }
                if (mapping) {
                    state = fields();
                    QApplication::setOverrideCursor(Qt::WaitCursor);
                    outcome = runCapture(*document, state, context_.database().connection(),
                                         prompter, progress);
                }
            }
        } catch (const std::exception& e) {
            outcome = Outcome::failure(QStringLiteral("The capture stopped: %1").arg(e.what()));
        }
        showRun();
        tellOutcome(prompter_,
                    storeRunEnd(context_.database().connection(), RunKind::Capture, {}, outcome));
        // The next opening starts from this entry and file.
        if (outcome.count > 0) {
            context_.settings().setValue(kLastCaptureSection, kLastEntryKey, state.entry);
            context_.settings().setValue(kLastCaptureSection, kZoneKey, state.zone);
            if (const QFileInfo file(state.address); file.isFile())
                context_.settings().setValue(kLastCaptureSection, kLastFileKey,
                                             file.absoluteFilePath());
        }
    }
    capturing_ = false;
    Command1->setEnabled(true);
    emit captureFinished(int(outcome.count));
}

void frmCapture::Command2_Click() {
    // Hidden, not unloaded: the next opening finds everything as it was.
    accept();
}

// The gain/loss file is the one the address box names, as for a capture;
// the account is the one typed, whatever "Derive from Data" says.
void frmCapture::ImportGains_Click() {
    const QString account = Text2->text().trimmed();
    if (account.isEmpty()) {
        prompter_.message(QStringLiteral("Please enter an Account Name"));
        return;
    }
    const CaptureSource source =
        resolveCaptureSource(Text1->text(), QString(), QDir::currentPath());
    QApplication::setOverrideCursor(Qt::WaitCursor);
    Outcome outcome;
    {
        ProgressDialog progress(this, QStringLiteral("Importing realized gains..."));
        outcome = importRealizedGains(source.path, account, context_.database().connection(),
                                      prompter_, QDate::currentDate(), progress.progress());
    }
    QApplication::restoreOverrideCursor();
    Status->setText(outcome.message.section(u'\n', 0, 0));
    tellOutcome(prompter_, storeRunEnd(context_.database().connection(), RunKind::GainsImport,
                                       account, outcome));
    emit captureFinished(int(outcome.count));
}

void frmCapture::Reconcile_Click() {
    const QString account = Text2->text().trimmed();
    if (account.isEmpty()) {
        prompter_.message(QStringLiteral("Please enter an Account Name"));
        return;
    }
    const CaptureSource source =
        resolveCaptureSource(Text1->text(), QString(), QDir::currentPath());
    QString error;
    const auto read = loadRealizedLots(source.path, QDate::currentDate(), &error);
    if (!read) {
        prompter_.message(QStringLiteral("The file %1 could not be read: %2")
                              .arg(QDir::toNativeSeparators(source.path), error));
        return;
    }
    if (read->lots.isEmpty()) {
        prompter_.message(QStringLiteral(
            "No data could be captured. Please make sure that right data is there in file"));
        return;
    }
    QVector<ReconcileRow> rows;
    try {
        rows = reconcileAccount(context_.database().connection(), account, read->lots);
    } catch (const std::exception& e) {
        prompter_.message(QStringLiteral("The tax records could not be read: %1").arg(e.what()));
        return;
    }
    frmReconcile grid(account, QFileInfo(source.path).fileName(), rows, prompter_, this);
    if (showReconcile)
        showReconcile(grid);
}

std::optional<ColumnMapping> frmCapture::askForMapping(const SheetDocument& sheet,
                                                       const CaptureSettings& settings) {
    QStringList entries;
    for (const BrokerEntry& entry : brokerEntries())
        entries << entry.name;
    while (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
    frmColumnMapping dialog(sheet, settings, entries, this);
    if (!showMapping || !showMapping(dialog))
        return std::nullopt;
    // Only a mapping that can be read back is saved and used.
    const std::optional<ColumnMapping> checked =
        mappingFromJson(mappingToJson(dialog.mapping()), nullptr);
    if (!checked)
        return std::nullopt;
    const ColumnMapping& mapping = *checked;
    saveMapping(context_.settings(), mapping);
    auto found = List1->findItems(mapping.name, Qt::MatchExactly);
    if (found.isEmpty()) {
        List1->addItem(mapping.name);
        found = List1->findItems(mapping.name, Qt::MatchExactly);
    }
    // Choosing it sets the fields as "Other" does; the account and month
    // typed for this capture stay.
    const QString account = Text2->text();
    const QString month = Text3->text();
    const bool derive = Check1->isChecked();
    List1->setCurrentItem(found.front());
    Text2->setText(account);
    Text3->setText(month);
    Check1->setChecked(derive);
    return mapping;
}

} // namespace gainbook
