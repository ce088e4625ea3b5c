#pragma once

#include "capture/page_document.h"
#include "platform/blank_text.h"
#include "platform/next_token.h"

#include <QString>
#include <QVector>

namespace gainbook {

using ElementList = QVector<PageElement>;

// Runs of blanks become one blank; nothing else changes.
QString CompactSpaces(const QString& text);

// Drops blanks and - , . / \ ( ) and upper-cases the rest, so "Acme Corp."
// and "ACME CORP" compare equal and 03/15/2000 becomes 03152000.
QString CompactJunk(const QString& text);

// Page text read word by word: the word being looked at, the one before
// it, and the tokenizer holding the rest of the text.
struct PageWords {
    QString CurToken;
    QString PrevToken;
    Tokenizer tokenizer;
};

// Moves CurToken forward through the page text until it meets Tok1, tok2,
// or the word before it again (which is how the end of the text shows).
void SkipTillTok(PageWords& words, const QString& Tok1, const QString& tok2 = QString());

// The index of the first element after i whose tag is tag; when there is
// none, the larger of i + 1 and allcount, so callers test the result against
// allcount - 1. Each call looks only forward, so a walk stays linear.
int SkipForTag(int i, const QString& tag, const ElementList& alllinks, int allcount);

// As SkipForTag, for an element whose inner text also begins with sValue.
int SkipForTagValue(int i, const QString& tag, const ElementList& alllinks, int allcount,
                    const QString& sValue);

// The inner text of element i, or an empty text past the end of the list.
QString elementText(const ElementList& alllinks, int i);

} // namespace gainbook
