#include "txf/txf_reader.h"

#include "platform/blank_text.h"
#include "platform/number_text.h"

namespace gainbook {

TxfReader::TxfReader(const QByteArray& content) : text_(QString::fromLatin1(content)) {
    // The first line runs to the first CR; a file whose lines end with LF
    // alone is read whole by this one read.
    const qsizetype cr = text_.indexOf(u'\r');
    firstLine_ = cr < 0 ? text_ : text_.left(cr);
    versionCode_ = firstLine_.mid(1, 3);

    if (isLfForm()) {
        // The version line is dropped; what follows it, trimmed, is the
        // text the tag search works through.
        tokenizer_.reset();
        tokenizer_.NextToken(QStringLiteral("\n"), firstLine_);
        text_ = firstLine_.contains(u'\n') ? tokenizer_.TokenRemainder().toString() : QString();
        pos_ = 0;
    } else {
        pos_ = cr < 0 ? text_.size() : cr + 1;
        if (pos_ < text_.size() && text_[pos_] == u'\n')
            ++pos_;
    }
}

bool TxfReader::nextLine(QStringView& line) {
    if (pos_ >= text_.size())
        return false;
    if (isLfForm()) {
        // The tokenizer's rule for the remaining text, kept with a position
        // instead of a copy of the rest per line so that large files read in
        // linear time: after a non-empty line the leading blanks of the rest
        // go; the trailing ones went when the text was first trimmed.
        const qsizetype lf = text_.indexOf(u'\n', pos_);
        const qsizetype stop = lf < 0 ? text_.size() : lf;
        line = QStringView(text_).mid(pos_, stop - pos_);
        pos_ = lf < 0 ? text_.size() : lf + 1;
        if (!line.isEmpty()) {
            while (pos_ < text_.size() && text_[pos_] == u' ')
                ++pos_;
        }
        return true;
    }
    const qsizetype cr = text_.indexOf(u'\r', pos_);
    const qsizetype stop = cr < 0 ? text_.size() : cr;
    line = QStringView(text_).mid(pos_, stop - pos_);
    pos_ = cr < 0 ? text_.size() : cr + 1;
    if (pos_ < text_.size() && text_[pos_] == u'\n')
        ++pos_;
    return true;
}

QString TxfReader::GetATagValue(QChar tag) {
    const QChar wanted = tag.toUpper();
    QStringView line;
    while (nextLine(line)) {
        noteLine(line);
        if (!line.isEmpty() && line[0].toUpper() == wanted)
            return line.mid(1).toString();
    }
    return {};
}

void TxfReader::noteLine(QStringView line) {
    if (line.isEmpty())
        return;
    const QChar tag = line[0].toUpper();
    if (tag == u'N')
        reference_ = line.mid(1).trimmed().toString();
    else if (tag == u'^')
        reference_.clear();
}

QString TxfReader::readAccountName() {
    if (isLfForm()) {
        if (GetATagValue(u'N') == QLatin1String("286"))
            return GetATagValue(u'P');
    }
    return GetATagValue(u'A');
}

QVector<TxfEntry> TxfReader::readEntries() {
    QVector<TxfEntry> entries;
    for (QString p = GetATagValue(u'P'); !p.isEmpty(); p = GetATagValue(u'P')) {
        TxfEntry entry;
        entry.reference = reference_;
        splitTxfDescription(p, isLfForm(), entry.quantity, entry.symbol);
        entry.dateAcquired = GetATagValue(u'D');
        if (entry.dateAcquired.isEmpty())
            entry.dateAcquired = QStringLiteral("00/00/00");
        entry.dateSold = GetATagValue(u'D');
        entry.cost = GetATagValue(u'$');
        entry.salePrice = GetATagValue(u'$');
        entries.append(entry);
    }
    return entries;
}

TxfStatement readTxf(const QByteArray& content) {
    TxfReader reader(content);
    TxfStatement statement;
    statement.accountName = reader.readAccountName();
    statement.entries = reader.readEntries();
    return statement;
}

void splitTxfDescription(const QString& description, bool lfForm, double& quantity,
                         QString& symbol) {
    if (!lfForm) {
        const qsizetype blank = description.indexOf(u' ');
        if (blank < 0) {
            quantity = numberFromText(description);
            symbol.clear();
        } else {
            quantity = numberFromText(QStringView(description).left(blank));
            symbol = trimBlanks(description.mid(blank + 1));
        }
        return;
    }
    quantity = numberFromText(description);
    if (quantity > 0) {
        // The sign position of a positive number is a blank: " 100".
        const qsizetype width = 1 + numberToText(quantity).size();
        symbol = description.mid(width);
    } else {
        symbol = description;
    }
}

} // namespace gainbook
