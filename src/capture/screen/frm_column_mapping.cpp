#include "capture/screen/frm_column_mapping.h"

#include "platform/date_text.h"
#include "platform/number_text.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace gainbook {

namespace {

constexpr int kShownRows = 15;
constexpr int kShownColumns = 20;

// The drop-down entries after "(ignore)", and the field each one fills.
struct RoleChoice {
    const char* text;
    int SheetColumns::*column;
};
const RoleChoice kChoices[] = {
    {"Date", &SheetColumns::date},     {"Type", &SheetColumns::type},
    {"Symbol", &SheetColumns::symbol}, {"Quantity", &SheetColumns::quantity},
    {"Amount", &SheetColumns::amount},
};

QString columnLetters(int col) {
    QString name;
    for (; col > 0; col = (col - 1) / 26)
        name.prepend(QChar(u'A' + (col - 1) % 26));
    return name;
}

} // namespace

QStringList frmColumnMapping::roleNames() {
    QStringList names{QStringLiteral("(ignore)")};
    for (const RoleChoice& c : kChoices)
        names << QString::fromLatin1(c.text);
    return names;
}

frmColumnMapping::frmColumnMapping(const SheetDocument& sheet, const CaptureSettings& settings,
                                   QStringList takenNames, QWidget* parent)
    : QDialog(parent), sheet_(sheet), settings_(settings), takenNames_(std::move(takenNames)) {
    setObjectName(QStringLiteral("frmColumnMapping"));
    setWindowTitle(QStringLiteral("Map Columns"));
    setSizeGripEnabled(true);

    auto* intro = new QLabel(
        QStringLiteral("Gainbook could not find the headings of this sheet. Choose above each "
                       "column what it holds, and the row the trades start in; the rows below "
                       "show what would be stored. The mapping is saved under its name and "
                       "offered in the broker list next time."),
        this);
    intro->setWordWrap(true);

    const int columns = std::min(sheet.columnCount(), kShownColumns);
    const int rows = std::min(sheet.rowCount(), kShownRows);
    sheetGrid = new QTableWidget(rows + 1, columns, this);
    sheetGrid->setObjectName(QStringLiteral("sheetGrid"));
    sheetGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    QStringList rowLabels{QString()};
    for (int r = 1; r <= rows; ++r)
        rowLabels << QString::number(r);
    sheetGrid->setVerticalHeaderLabels(rowLabels);
    QStringList columnLabels;
    for (int c = 1; c <= columns; ++c) {
        columnLabels << columnLetters(c);
        auto* box = new QComboBox(sheetGrid);
        box->setObjectName(QStringLiteral("role%1").arg(c));
        box->addItems(roleNames());
        connect(box, &QComboBox::currentIndexChanged, this, &frmColumnMapping::refresh);
        sheetGrid->setCellWidget(0, c - 1, box);
        roles << box;
        for (int r = 1; r <= rows; ++r)
            sheetGrid->setItem(r, c - 1, new QTableWidgetItem(sheet.text(r, c)));
    }
    sheetGrid->setHorizontalHeaderLabels(columnLabels);
    sheetGrid->resizeColumnsToContents();

    firstRow = new QSpinBox(this);
    firstRow->setObjectName(QStringLiteral("firstRow"));
    firstRow->setRange(1, std::max(1, sheet.rowCount()));
    firstRow->setValue(std::min(2, std::max(1, sheet.rowCount())));
    connect(firstRow, &QSpinBox::valueChanged, this, &frmColumnMapping::refresh);
    nameEdit = new QLineEdit(this);
    nameEdit->setObjectName(QStringLiteral("nameEdit"));
    connect(nameEdit, &QLineEdit::textChanged, this, &frmColumnMapping::refresh);

    preview = new QTableWidget(0, 5, this);
    preview->setObjectName(QStringLiteral("preview"));
    preview->setHorizontalHeaderLabels({QStringLiteral("Symbol"), QStringLiteral("Quantity"),
                                        QStringLiteral("Txn Type"), QStringLiteral("Txn Date"),
                                        QStringLiteral("Txn Amount")});
    preview->setEditTriggers(QAbstractItemView::NoEditTriggers);
    preview->horizontalHeader()->setStretchLastSection(true);
    note = new QLabel(this);
    note->setObjectName(QStringLiteral("note"));

    okButton = new QPushButton(QStringLiteral("Save and Capture"), this);
    okButton->setObjectName(QStringLiteral("okButton"));
    cancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    cancelButton->setObjectName(QStringLiteral("cancelButton"));
    connect(okButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);

    auto* fields = new QHBoxLayout;
    fields->addWidget(new QLabel(QStringLiteral("Trades start in row"), this));
    fields->addWidget(firstRow);
    fields->addSpacing(16);
    fields->addWidget(new QLabel(QStringLiteral("Save as"), this));
    fields->addWidget(nameEdit, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(note, 1);
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addWidget(sheetGrid, 3);
    layout->addLayout(fields);
    layout->addWidget(new QLabel(QStringLiteral("Rows that would be stored:"), this));
    layout->addWidget(preview, 2);
    layout->addLayout(buttons);
    resize(900, 640);
    refresh();
}

ColumnMapping frmColumnMapping::mapping() const {
    ColumnMapping m;
    m.name = nameEdit->text().trimmed();
    m.firstRow = firstRow->value();
    for (int c = 0; c < roles.size(); ++c) {
        const int choice = roles[c]->currentIndex();
        // The first column chosen for a role takes it; a second is a
        // mistake the note points out.
        if (choice > 0 && !(m.columns.*kChoices[choice - 1].column))
            m.columns.*kChoices[choice - 1].column = c + 1;
    }
    return m;
}

void frmColumnMapping::refresh() {
    const ColumnMapping m = mapping();
    int chosen = 0;
    for (const QComboBox* box : roles)
        chosen += box->currentIndex() > 0 ? 1 : 0;
    int mapped = 0;
    for (const RoleChoice& c : kChoices)
        mapped += m.columns.*c.column ? 1 : 0;

    preview->setRowCount(0);
    QString problem;
    if (mapped < 5)
        problem = QStringLiteral("Choose a column for each of Date, Type, Symbol, Quantity and "
                                 "Amount.");
    else if (chosen > mapped)
        problem = QStringLiteral("Each of Date, Type, Symbol, Quantity and Amount is chosen once.");
    if (problem.isEmpty()) {
        PageDocument document;
        document.sheet = sheet_;
        const ParseResult parsed = parseWithMapping(m, document, settings_);
        preview->setRowCount(int(parsed.rows.size()));
        for (int r = 0; r < parsed.rows.size(); ++r) {
            const TxnRecord& t = parsed.rows[r];
            const QStringList cells{t.symbol, t.quantity.text(), t.type, formatDate(t.txnDate),
                                    numberToText(t.amount.toDouble())};
            for (int c = 0; c < cells.size(); ++c)
                preview->setItem(r, c, new QTableWidgetItem(cells[c]));
        }
        int others = 0;
        for (const int n : parsed.skippedKinds)
            others += n;
        problem = QStringLiteral("Rows to store: %1; skipped: %2; no buy or sell: %3.")
                      .arg(parsed.rows.size())
                      .arg(parsed.skippedRows())
                      .arg(others);
        if (parsed.rows.isEmpty())
            mapped = 0;
    }
    if (m.name.isEmpty())
        problem += QStringLiteral(" Type a name to save the mapping under.");
    else if (takenNames_.contains(m.name, Qt::CaseInsensitive))
        problem += QStringLiteral(" A broker entry has that name already.");
    note->setText(problem.trimmed());
    okButton->setEnabled(mapped == 5 && chosen == mapped && !m.name.isEmpty() &&
                         !takenNames_.contains(m.name, Qt::CaseInsensitive));
}

} // namespace gainbook
