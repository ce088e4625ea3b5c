#pragma once

#include "capture/page_document.h"

#include <QStringList>

namespace gainbook::test {

// Builds element lists the way the browser reports them: a row is a TR
// whose text is its cells joined by tabs, followed by one TD per cell.
class PageBuilder {
public:
    PageBuilder& filler(int count) {
        for (int i = 0; i < count; ++i)
            add(QStringLiteral("DIV"), QStringLiteral("nav"));
        return *this;
    }
    PageBuilder& add(const QString& tag, const QString& text) {
        elements.append({tag, text});
        return *this;
    }
    PageBuilder& row(const QStringList& cells) {
        add(QStringLiteral("TR"), cells.join(u'\t'));
        for (const QString& cell : cells)
            add(QStringLiteral("TD"), cell);
        return *this;
    }
    PageDocument page() const {
        PageDocument d;
        d.elements = elements;
        return d;
    }

    QVector<PageElement> elements;
};

inline PageDocument sheetOf(const QVector<QStringList>& rows) {
    PageDocument d;
    SheetDocument sheet;
    for (int r = 0; r < rows.size(); ++r)
        for (int c = 0; c < rows[r].size(); ++c)
            if (!rows[r][c].isEmpty())
                sheet.setCell(r + 1, c + 1, {rows[r][c], std::nullopt});
    d.sheet = sheet;
    return d;
}

} // namespace gainbook::test
