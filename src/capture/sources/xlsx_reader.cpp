#include "capture/sources/xlsx_reader.h"

#include "capture/sources/sheet_cell_values.h"
#include "capture/sources/sheet_limits.h"
#include "platform/date_text.h"

#include <QDate>
#include <QDateTime>
#include <QFile>
#include <QHash>
#include <QIODevice>
#include <QXmlStreamReader>

#include <cmath>
#include <memory>
#include <zip.h>

namespace gainbook {

namespace {

class XlsxError {
public:
    explicit XlsxError(QString reason) : reason(std::move(reason)) {}
    QString reason;
};

// One entry of the archive, unpacked as it is read, so that a part is never
// held whole in memory. Every entry of one archive draws on one budget of
// unpacked bytes: a small archive that unpacks to gigabytes stops at the
// budget instead of filling the memory.
class ZipEntryDevice : public QIODevice {
public:
    ZipEntryDevice(zip_file_t* file, qint64& budgetLeft) : file_(file), budgetLeft_(budgetLeft) {
        open(QIODevice::ReadOnly);
    }
    ~ZipEntryDevice() override { zip_fclose(file_); }

    bool isSequential() const override { return true; }
    bool overBudget() const { return overBudget_; }
    bool readFailed() const { return readFailed_; }

protected:
    qint64 readData(char* data, qint64 maxSize) override {
        if (overBudget_ || readFailed_)
            return -1;
        const zip_int64_t got = zip_fread(file_, data, zip_uint64_t(maxSize));
        if (got < 0) {
            readFailed_ = true;
            return -1;
        }
        budgetLeft_ -= got;
        if (budgetLeft_ < 0) {
            overBudget_ = true;
            return -1;
        }
        return got;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    zip_file_t* file_;
    qint64& budgetLeft_;
    bool overBudget_ = false;
    bool readFailed_ = false;
};

// The workbook's zip archive, closed however the read ends.
class ZipArchive {
public:
    explicit ZipArchive(const QString& path) {
        int code = 0;
        archive_ = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &code);
        if (!archive_) {
            zip_error_t err;
            zip_error_init_with_code(&err, code);
            reason_ = QString::fromUtf8(zip_error_strerror(&err));
            zip_error_fini(&err);
        }
    }
    ~ZipArchive() {
        if (archive_)
            zip_discard(archive_);
    }
    ZipArchive(const ZipArchive&) = delete;
    ZipArchive& operator=(const ZipArchive&) = delete;

    bool isOpen() const { return archive_ != nullptr; }
    QString reason() const { return reason_; }

    // The entry to read as it unpacks, or none when the archive has no entry
    // by that name. An entry whose stated size alone passes what is left of
    // the budget is refused before anything is unpacked.
    std::unique_ptr<ZipEntryDevice> open(const QString& name) {
        const QByteArray entry = name.toUtf8();
        zip_stat_t st;
        zip_stat_init(&st);
        if (zip_stat(archive_, entry.constData(), 0, &st) != 0 || !(st.valid & ZIP_STAT_SIZE))
            return nullptr;
        if (st.size > quint64(budgetLeft_))
            throw SheetTooLarge{unpackedReason()};
        zip_file_t* file = zip_fopen(archive_, entry.constData(), 0);
        if (!file)
            throw XlsxError(QStringLiteral("cannot read %1").arg(name));
        return std::make_unique<ZipEntryDevice>(file, budgetLeft_);
    }

    static QString unpackedReason() {
        return QStringLiteral("its parts unpack to more than %1 MB").arg(kMaxSheetBytes >> 20);
    }

private:
    zip_t* archive_ = nullptr;
    QString reason_;
    qint64 budgetLeft_ = kMaxSheetBytes;
};

// A part read to its end: a budget passed or a failed read is told apart
// from XML that is not well formed.
void checkXml(const QXmlStreamReader& xml, const QString& part) {
    if (const auto* device = dynamic_cast<const ZipEntryDevice*>(xml.device())) {
        if (device->overBudget())
            throw SheetTooLarge{ZipArchive::unpackedReason()};
        if (device->readFailed())
            throw XlsxError(QStringLiteral("cannot read %1").arg(part));
    }
    if (xml.hasError())
        throw XlsxError(QStringLiteral("%1 is damaged: %2").arg(part, xml.errorString()));
}

// Joins a relationship target to the folder of the part that names it.
QString resolvePart(const QString& baseFolder, const QString& target) {
    if (target.startsWith(u'/'))
        return target.mid(1);
    QStringList parts = (baseFolder + target).split(u'/');
    QStringList out;
    for (const QString& p : parts) {
        if (p == u"..") {
            if (!out.isEmpty())
                out.removeLast();
        } else if (!p.isEmpty() && p != u".") {
            out.append(p);
        }
    }
    return out.join(u'/');
}

struct Relationship {
    QString type; // the last word of the relationship type: "worksheet", "styles", ...
    QString part; // the target as a part name inside the archive
};

// The relationships of a part ("xl/workbook.xml" -> "xl/_rels/workbook.xml.rels")
// by their id; targets resolved against the part's folder. External targets
// (links to other files) are left out.
QHash<QString, Relationship> readRelationships(ZipArchive& zip, const QString& part) {
    const qsizetype slash = part.lastIndexOf(u'/');
    const QString folder = part.left(slash + 1);
    const QString relsPart =
        folder + QStringLiteral("_rels/") + part.mid(slash + 1) + QStringLiteral(".rels");
    QHash<QString, Relationship> rels;
    const auto data = zip.open(relsPart);
    if (!data)
        return rels;
    QXmlStreamReader xml(data.get());
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement || xml.name() != u"Relationship")
            continue;
        const auto attrs = xml.attributes();
        if (attrs.value(QStringLiteral("TargetMode")) == u"External")
            continue;
        const QString type = attrs.value(QStringLiteral("Type")).toString();
        rels.insert(
            attrs.value(QStringLiteral("Id")).toString(),
            Relationship{type.mid(type.lastIndexOf(u'/') + 1),
                         resolvePart(folder, attrs.value(QStringLiteral("Target")).toString())});
    }
    checkXml(xml, relsPart);
    return rels;
}

struct WorkbookInfo {
    QString firstSheetPart;
    QString sharedStringsPart;
    QString stylesPart;
    bool date1904 = false;
};

// Finds the workbook through the package's relationships (most writers put
// it at xl/workbook.xml, but not all), its first worksheet (chart sheets are
// passed over) and its shared strings and styles.
WorkbookInfo readWorkbook(ZipArchive& zip) {
    QString workbookPart = QStringLiteral("xl/workbook.xml");
    for (const Relationship& rel : readRelationships(zip, QString()).values()) {
        if (rel.type == u"officeDocument")
            workbookPart = rel.part;
    }
    const QHash<QString, Relationship> rels = readRelationships(zip, workbookPart);
    const auto workbook = zip.open(workbookPart);
    if (!workbook)
        throw XlsxError(QStringLiteral("not an Excel workbook"));

    WorkbookInfo info;
    QXmlStreamReader xml(workbook.get());
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == u"workbookPr") {
            const auto v = xml.attributes().value(QStringLiteral("date1904"));
            info.date1904 = v == u"1" || v == u"true";
        } else if (xml.name() == u"sheet" && info.firstSheetPart.isEmpty()) {
            for (const QXmlStreamAttribute& a : xml.attributes()) {
                if (a.name() != u"id" || a.namespaceUri().isEmpty())
                    continue;
                const auto rel = rels.constFind(a.value().toString());
                if (rel != rels.cend() && rel->type == u"worksheet")
                    info.firstSheetPart = rel->part;
            }
        }
    }
    checkXml(xml, QStringLiteral("the workbook"));
    if (info.firstSheetPart.isEmpty())
        throw XlsxError(QStringLiteral("the workbook has no worksheet"));
    for (const Relationship& rel : rels) {
        if (rel.type == u"sharedStrings")
            info.sharedStringsPart = rel.part;
        else if (rel.type == u"styles")
            info.stylesPart = rel.part;
    }
    return info;
}

// The text of one <si> or <is>: its <t> runs joined, phonetic runs left out.
QString readStringItem(QXmlStreamReader& xml) {
    QString text;
    const QString end = xml.name().toString();
    int phonetic = 0;
    while (!xml.atEnd()) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::StartElement) {
            if (xml.name() == u"rPh")
                ++phonetic;
            else if (xml.name() == u"t" && phonetic == 0)
                text += xml.readElementText();
        } else if (token == QXmlStreamReader::EndElement) {
            if (xml.name() == u"rPh")
                --phonetic;
            else if (xml.name() == end)
                break;
        }
    }
    return text;
}

// The shared strings, as many as cells a sheet may hold and no more text
// than the budget: an archive cannot make the list outgrow the sheet.
QStringList readSharedStrings(ZipArchive& zip, const QString& part) {
    QStringList strings;
    const auto data = part.isEmpty() ? nullptr : zip.open(part);
    if (!data)
        return strings;
    qint64 characters = 0;
    QXmlStreamReader xml(data.get());
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement || xml.name() != u"si")
            continue;
        if (strings.size() >= kMaxSheetCells)
            throw SheetTooLarge{
                QStringLiteral("it has more than %1 shared strings").arg(qint64(kMaxSheetCells))};
        strings.append(readStringItem(xml));
        characters += strings.constLast().size();
        if (characters > kMaxSharedTextChars)
            throw SheetTooLarge{QStringLiteral("its shared strings hold more than %1 million "
                                               "characters")
                                    .arg(kMaxSharedTextChars >> 20)};
    }
    checkXml(xml, QStringLiteral("the shared strings"));
    return strings;
}

bool isBuiltInDateFormat(int id) {
    return (id >= 14 && id <= 17) || id == 22 || (id >= 27 && id <= 36) || (id >= 50 && id <= 58);
}

// A custom number format shows a date when it has day or year codes outside
// quoted text, escapes and bracketed parts (colours, conditions, elapsed
// time). A bare "m" may be minutes, so it alone does not decide.
bool isDateFormatCode(const QString& code) {
    bool quoted = false;
    int bracket = 0;
    for (qsizetype i = 0; i < code.size(); ++i) {
        const QChar c = code[i];
        if (quoted) {
            quoted = c != u'"';
            continue;
        }
        if (c == u'"') {
            quoted = true;
        } else if (c == u'\\' || c == u'_' || c == u'*') {
            ++i;
        } else if (c == u'[') {
            ++bracket;
        } else if (c == u']') {
            bracket = std::max(0, bracket - 1);
        } else if (bracket == 0) {
            const QChar lower = c.toLower();
            if (lower == u'd' || lower == u'y')
                return true;
        }
    }
    return false;
}

// For each cell style index: does it show a date?
QVector<bool> readDateStyles(ZipArchive& zip, const QString& part) {
    QVector<bool> dateStyles;
    const auto data = part.isEmpty() ? nullptr : zip.open(part);
    if (!data)
        return dateStyles;
    QHash<int, bool> customFormats;
    bool inCellXfs = false;
    QXmlStreamReader xml(data.get());
    while (!xml.atEnd()) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::StartElement) {
            if (xml.name() == u"numFmt") {
                const auto attrs = xml.attributes();
                customFormats.insert(
                    attrs.value(QStringLiteral("numFmtId")).toInt(),
                    isDateFormatCode(attrs.value(QStringLiteral("formatCode")).toString()));
            } else if (xml.name() == u"cellXfs") {
                inCellXfs = true;
            } else if (inCellXfs && xml.name() == u"xf") {
                const int id = xml.attributes().value(QStringLiteral("numFmtId")).toInt();
                dateStyles.append(customFormats.contains(id) ? customFormats.value(id)
                                                             : isBuiltInDateFormat(id));
                xml.skipCurrentElement();
            }
        } else if (token == QXmlStreamReader::EndElement && xml.name() == u"cellXfs") {
            inCellXfs = false;
        }
    }
    checkXml(xml, QStringLiteral("the styles"));
    return dateStyles;
}

// "BC12" -> column 55 (from 1), or 0 when the reference has no letters.
// Letters past the last column of a sheet (XFD) end the read.
int columnOfReference(QStringView ref) {
    int col = 0;
    for (QChar c : ref) {
        const char16_t u = c.toUpper().unicode();
        if (u < u'A' || u > u'Z')
            break;
        col = col * 26 + (u - u'A' + 1);
        if (col > kLastSheetColumn)
            throw SheetTooLarge{QStringLiteral("cell %1 is beyond the last column of a sheet (XFD)")
                                    .arg(ref.left(32).toString())};
    }
    return col;
}

// The number of a <row r="...">, or 0 when the attribute is missing or not a
// number. A number past the last row of a sheet ends the read; it is never
// taken as a size to make room for.
int rowOfAttribute(QStringView text) {
    if (text.isEmpty())
        return 0;
    qint64 row = 0;
    for (QChar c : text) {
        if (c < u'0' || c > u'9')
            return 0;
        row = row * 10 + (c.unicode() - u'0');
        if (row > kLastSheetRow)
            throw SheetTooLarge{BoundedSheet::rowReason(text.left(32).toString())};
    }
    return int(row);
}

struct SheetContext {
    QStringList sharedStrings;
    QVector<bool> dateStyles;
    bool date1904 = false;
};

SheetCell numericCell(const QString& raw, int style, const SheetContext& ctx) {
    bool ok = false;
    double value = raw.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return SheetCell{raw, std::nullopt};
    if (style >= 0 && style < ctx.dateStyles.size() && ctx.dateStyles[style]) {
        if (ctx.date1904)
            value += 1462.0;
        const double day = std::floor(value);
        const QDate date = dateFromSerial(day);
        if (date.isValid())
            return dateCell(date, value - day);
    }
    return numberCell(value);
}

SheetCell isoDateCell(const QString& raw) {
    const QDateTime dt = QDateTime::fromString(raw, Qt::ISODate);
    if (dt.isValid()) {
        return dateCell(dt.date(), dt.time().msecsSinceStartOfDay() / 86400000.0);
    }
    const QDate date = QDate::fromString(raw.left(10), Qt::ISODate);
    if (date.isValid())
        return dateCell(date);
    return SheetCell{raw, std::nullopt};
}

SheetDocument readSheet(QIODevice* data, const SheetContext& ctx) {
    BoundedSheet sheet;
    QXmlStreamReader xml(data);
    int row = 0;
    int col = 0;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == u"row") {
            const int r = rowOfAttribute(xml.attributes().value(QStringLiteral("r")));
            row = r > 0 ? r : row + 1;
            col = 0;
            continue;
        }
        if (xml.name() == u"extLst") {
            // Extensions of other namespaces may name elements "c" too.
            xml.skipCurrentElement();
            continue;
        }
        if (xml.name() != u"c")
            continue;

        const auto attrs = xml.attributes();
        const int refCol = columnOfReference(attrs.value(QStringLiteral("r")));
        col = refCol > 0 ? refCol : col + 1;
        const QString type = attrs.value(QStringLiteral("t")).toString();
        const int style =
            attrs.hasAttribute(QStringLiteral("s")) ? attrs.value(QStringLiteral("s")).toInt() : 0;

        QString raw;
        bool hasValue = false;
        QString inlineText;
        bool hasInline = false;
        while (!xml.atEnd()) {
            const auto token = xml.readNext();
            if (token == QXmlStreamReader::StartElement) {
                if (xml.name() == u"v") {
                    raw = xml.readElementText();
                    hasValue = true;
                } else if (xml.name() == u"is") {
                    inlineText = readStringItem(xml);
                    hasInline = true;
                } else {
                    xml.skipCurrentElement();
                }
            } else if (token == QXmlStreamReader::EndElement && xml.name() == u"c") {
                break;
            }
        }
        if (row < 1)
            row = 1;

        SheetCell cell;
        if (type == u"inlineStr") {
            cell.text = inlineText;
        } else if (!hasValue) {
            if (hasInline)
                cell.text = inlineText;
            else
                continue;
        } else if (type == u"s") {
            const int index = raw.toInt();
            if (index >= 0 && index < ctx.sharedStrings.size())
                cell.text = ctx.sharedStrings[index];
        } else if (type == u"str" || type == u"e") {
            cell.text = raw;
        } else if (type == u"b") {
            cell = booleanCell(raw.trimmed() == u"1" || raw.trimmed() == u"true");
        } else if (type == u"d") {
            cell = isoDateCell(raw);
        } else {
            cell = numericCell(raw, style, ctx);
        }
        if (!cell.text.isEmpty() || cell.number)
            sheet.put(row, col, std::move(cell));
    }
    checkXml(xml, QStringLiteral("the worksheet"));
    return sheet.take();
}

} // namespace

std::optional<SheetDocument> readXlsxFile(const QString& path, QString* error) {
    auto fail = [&](const QString& reason) -> std::optional<SheetDocument> {
        if (error)
            *error = cannotOpenMessage(path, reason);
        return std::nullopt;
    };
    if (!QFile::exists(path))
        return fail({});
    ZipArchive zip(path);
    if (!zip.isOpen())
        return fail(QStringLiteral("not an Excel workbook (%1)").arg(zip.reason()));
    try {
        const WorkbookInfo info = readWorkbook(zip);
        SheetContext ctx;
        ctx.sharedStrings = readSharedStrings(zip, info.sharedStringsPart);
        ctx.dateStyles = readDateStyles(zip, info.stylesPart);
        ctx.date1904 = info.date1904;
        const auto data = zip.open(info.firstSheetPart);
        if (!data)
            return fail(QStringLiteral("the first worksheet is missing"));
        return readSheet(data.get(), ctx);
    } catch (const XlsxError& e) {
        return fail(e.reason);
    } catch (const SheetTooLarge& e) {
        if (error)
            *error = tooLargeMessage(e.reason);
        return std::nullopt;
    }
}

} // namespace gainbook
