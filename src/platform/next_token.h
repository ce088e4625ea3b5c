#pragma once

#include <QString>
#include <QStringView>

namespace gainbook {

// The shared tokenizer. An empty text continues with what the previous call
// left over; once the delimiter is used up, the last token comes back again
// and again, which is how callers notice the end.
//
// The text is held once and the remainder is a window into it, so walking a
// text word by word costs time in proportion to its length: no call copies
// more than the token it returns.
class Tokenizer {
public:
    QString NextToken(const QString& delimiter, const QString& text);

    // What the previous calls left over: a view into the last text given,
    // valid until the next call with a new text.
    QStringView TokenRemainder() const { return QStringView(text_).mid(begin_, end_ - begin_); }
    void reset();

private:
    void keepRest(qsizetype from, bool trim);

    QString text_;        // the last text given that held the delimiter
    qsizetype begin_ = 0; // the remainder is text_[begin_, end_)
    qsizetype end_ = 0;
};

} // namespace gainbook
