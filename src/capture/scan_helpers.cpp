#include "capture/scan_helpers.h"

namespace gainbook {

QString CompactSpaces(const QString& text) {
    QString out;
    out.reserve(text.size());
    QChar previous;
    for (const QChar c : text) {
        if (c == u' ' && previous == u' ')
            continue;
        out.append(c);
        previous = c;
    }
    return out;
}

QString CompactJunk(const QString& text) {
    static const QString junk = QStringLiteral(" -,./\\()");
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (!junk.contains(c))
            out.append(c);
    }
    return out.toUpper();
}

void SkipTillTok(PageWords& words, const QString& Tok1, const QString& tok2) {
    const QString delimiter = QStringLiteral(" ");
    words.PrevToken.clear();
    words.CurToken = words.tokenizer.NextToken(delimiter, QString());
    while (words.CurToken != tok2 && words.CurToken != Tok1 && words.CurToken != words.PrevToken) {
        words.PrevToken = words.CurToken;
        words.CurToken = words.tokenizer.NextToken(delimiter, QString());
    }
}

int SkipForTag(int i, const QString& tag, const ElementList& alllinks, int allcount) {
    const int last = std::min(allcount, int(alllinks.size()));
    for (int j = std::max(i + 1, 0); j < last; ++j) {
        if (alllinks[j].tagName == tag)
            return j;
    }
    return std::max(i + 1, allcount);
}

int SkipForTagValue(int i, const QString& tag, const ElementList& alllinks, int allcount,
                    const QString& sValue) {
    const int last = std::min(allcount, int(alllinks.size()));
    for (int j = std::max(i + 1, 0); j < last; ++j) {
        const PageElement& e = alllinks[j];
        if (e.tagName == tag && e.innerText.startsWith(sValue))
            return j;
    }
    return std::max(i + 1, allcount);
}

QString elementText(const ElementList& alllinks, int i) {
    return i >= 0 && i < alllinks.size() ? alllinks[i].innerText : QString();
}

} // namespace gainbook
