#include "capture/page_document_json.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>

namespace gainbook {

namespace {

const QString kAddress = QStringLiteral("address");
const QString kTags = QStringLiteral("tags");
const QString kTexts = QStringLiteral("texts");
const QString kFrames = QStringLiteral("frames");
const QString kSheet = QStringLiteral("sheet");

// JSON has no infinities nor NaN; a sheet cell may hold them, so they travel
// as text.
QJsonValue numberValue(double number) {
    if (std::isfinite(number))
        return number;
    if (std::isnan(number))
        return QStringLiteral("nan");
    return number > 0 ? QStringLiteral("inf") : QStringLiteral("-inf");
}

std::optional<double> readNumber(const QJsonValue& value) {
    if (value.isDouble())
        return value.toDouble();
    const QString text = value.toString();
    if (text == u"nan")
        return std::nan("");
    if (text == u"inf")
        return HUGE_VAL;
    if (text == u"-inf")
        return -HUGE_VAL;
    return std::nullopt;
}

// A row is an array of cells; a cell is [text] or [text, number].
QJsonArray sheetRows(const SheetDocument& sheet) {
    QJsonArray rows;
    for (int row = 1; row <= sheet.rowCount(); ++row) {
        QJsonArray cells;
        for (int col = 1; col <= sheet.columnCount(); ++col) {
            const SheetCell& cell = sheet.cell(row, col);
            QJsonArray value{cell.text};
            if (cell.number)
                value.append(numberValue(*cell.number));
            cells.append(value);
        }
        rows.append(cells);
    }
    return rows;
}

QJsonObject documentObject(const PageDocument& document) {
    QJsonArray tags;
    QJsonArray texts;
    for (const PageElement& element : document.elements) {
        tags.append(element.tagName);
        texts.append(element.innerText);
    }
    QJsonArray frames;
    for (const PageDocument& frame : document.frames)
        frames.append(documentObject(frame));
    QJsonObject object{
        {kAddress, document.address}, {kTags, tags}, {kTexts, texts}, {kFrames, frames}};
    if (document.sheet)
        object.insert(kSheet, sheetRows(*document.sheet));
    return object;
}

bool readSheet(const QJsonArray& rows, SheetDocument& sheet) {
    for (qsizetype r = 0; r < rows.size(); ++r) {
        if (!rows.at(r).isArray())
            return false;
        const QJsonArray cells = rows.at(r).toArray();
        for (qsizetype c = 0; c < cells.size(); ++c) {
            const QJsonArray value = cells.at(c).toArray();
            if (value.isEmpty() || value.size() > 2 || !value.at(0).isString())
                return false;
            SheetCell cell{value.at(0).toString(), std::nullopt};
            if (value.size() == 2) {
                cell.number = readNumber(value.at(1));
                if (!cell.number)
                    return false;
            }
            sheet.setCell(int(r) + 1, int(c) + 1, std::move(cell));
        }
    }
    return true;
}

bool readDocument(const QJsonObject& object, PageDocument& document) {
    const QJsonValue address = object.value(kAddress);
    const QJsonValue tags = object.value(kTags);
    const QJsonValue texts = object.value(kTexts);
    const QJsonValue frames = object.value(kFrames);
    if (!address.isString() || !tags.isArray() || !texts.isArray() || !frames.isArray())
        return false;
    document.address = address.toString();
    const QJsonArray tagList = tags.toArray();
    const QJsonArray textList = texts.toArray();
    if (tagList.size() != textList.size())
        return false;
    document.elements.reserve(tagList.size());
    for (qsizetype i = 0; i < tagList.size(); ++i) {
        if (!tagList.at(i).isString() || !textList.at(i).isString())
            return false;
        document.elements.append(PageElement{tagList.at(i).toString(), textList.at(i).toString()});
    }
    for (const QJsonValue& frame : frames.toArray()) {
        if (!frame.isObject())
            return false;
        PageDocument inner;
        if (!readDocument(frame.toObject(), inner))
            return false;
        document.frames.append(std::move(inner));
    }
    if (object.contains(kSheet)) {
        const QJsonValue rows = object.value(kSheet);
        SheetDocument sheet;
        if (!rows.isArray() || !readSheet(rows.toArray(), sheet))
            return false;
        document.sheet = std::move(sheet);
    }
    return true;
}

} // namespace

QByteArray pageDocumentToJson(const PageDocument& document) {
    return QJsonDocument(documentObject(document)).toJson(QJsonDocument::Compact);
}

std::optional<PageDocument> pageDocumentFromJson(const QByteArray& json, QString* error) {
    QJsonParseError parseError;
    const QJsonDocument parsed = QJsonDocument::fromJson(json, &parseError);
    PageDocument document;
    if (parsed.isObject() && readDocument(parsed.object(), document))
        return document;
    if (error) {
        *error = parseError.error != QJsonParseError::NoError
                     ? QStringLiteral("not a page document (%1)").arg(parseError.errorString())
                     : QStringLiteral("not a page document");
    }
    return std::nullopt;
}

} // namespace gainbook
