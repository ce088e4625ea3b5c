#include "startup/screen/frm_disclaim.h"

#include "startup/disclaimer_text.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace gainbook {

namespace {

// A small emblem: a ledger page with a rising line, drawn rather than
// shipped as an image file.
QPixmap emblem() {
    QPixmap pixmap(96, 120);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(40, 60, 110), 2));
    p.setBrush(QColor(250, 248, 236));
    p.drawRoundedRect(QRectF(4, 4, 88, 112), 6, 6);
    p.setPen(QPen(QColor(180, 190, 210), 1));
    for (int y = 24; y < 110; y += 12)
        p.drawLine(12, y, 84, y);
    p.setPen(QPen(QColor(0, 130, 60), 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    const QPointF rise[] = {{14, 98}, {34, 80}, {50, 88}, {80, 40}};
    p.drawPolyline(rise, 4);
    return pixmap;
}

} // namespace

frmDisclaim::frmDisclaim(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Please Read Carefully"));
    Text1 = new QPlainTextEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setReadOnly(true);
    Text1->setPlainText(disclaimerText());
    Text1->setMinimumSize(Text1->fontMetrics().averageCharWidth() * 90, 320);
    Picture1 = new QLabel(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setPixmap(emblem());
    Picture1->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
    Command1 = new QPushButton(QStringLiteral("I agree"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command2 = new QPushButton(QStringLiteral("Do not Agree"), this);
    Command2->setObjectName(QStringLiteral("Command2"));
    connect(Command1, &QPushButton::clicked, this, &frmDisclaim::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &frmDisclaim::Command2_Click);

    auto* body = new QHBoxLayout;
    body->addWidget(Picture1);
    body->addWidget(Text1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(body, 1);
    layout->addLayout(buttons);
}

void frmDisclaim::Command1_Click() {
    accept();
}

void frmDisclaim::Command2_Click() {
    reject();
}

} // namespace gainbook
