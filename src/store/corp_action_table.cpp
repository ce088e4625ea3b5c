#include "store/corp_action_table.h"

#include "platform/date_text.h"
#include "store/sql.h"

namespace gainbook {

namespace {

const QString kSelect = QStringLiteral("SELECT ID, Symbol, EffectiveDate, Kind, RatioNew, "
                                       "RatioOld, NewSymbol, Note FROM CorpAction ");

// The kind as the table keeps it: a word, so that the file reads plainly.
const QString kSplitWord = QStringLiteral("split");
const QString kChangeWord = QStringLiteral("symbol change");

QString kindWord(ActionKind kind) {
    return kind == ActionKind::Split ? kSplitWord : kChangeWord;
}

CorpActionRecord actionFromQuery(const QSqlQuery& query) {
    CorpActionRecord a;
    a.id = query.value(0).toLongLong();
    a.symbol = query.value(1).toString();
    a.effective = dateFromStored(query.value(2).toString());
    a.kind =
        query.value(3).toString() == kChangeWord ? ActionKind::SymbolChange : ActionKind::Split;
    a.ratioNew = query.value(4).toDouble();
    a.ratioOld = query.value(5).toDouble();
    a.newSymbol = query.value(6).toString();
    a.note = query.value(7).toString();
    return a;
}

} // namespace

QVector<CorpActionRecord> selectCorpActions(const QSqlDatabase& db) {
    QSqlQuery query = runQuery(db, kSelect + QStringLiteral("ORDER BY EffectiveDate, ID"));
    QVector<CorpActionRecord> rows;
    while (query.next())
        rows.append(actionFromQuery(query));
    return rows;
}

std::optional<CorpActionRecord> selectCorpAction(const QSqlDatabase& db, qint64 id) {
    QSqlQuery query = runQuery(db, kSelect + QStringLiteral("WHERE ID = ?"), {id});
    if (!query.next())
        return std::nullopt;
    return actionFromQuery(query);
}

qint64 insertCorpAction(const QSqlDatabase& db, const CorpActionRecord& action) {
    QSqlQuery query = runQuery(
        db,
        QStringLiteral("INSERT INTO CorpAction (Symbol, EffectiveDate, Kind, RatioNew, RatioOld, "
                       "NewSymbol, Note) VALUES (?, ?, ?, ?, ?, ?, ?)"),
        {textValue(action.symbol), isoDate(action.effective), kindWord(action.kind),
         action.ratioNew, action.ratioOld, textValue(action.newSymbol), textValue(action.note)});
    return query.lastInsertId().toLongLong();
}

bool updateCorpAction(const QSqlDatabase& db, const CorpActionRecord& action) {
    QSqlQuery query =
        runQuery(db,
                 QStringLiteral("UPDATE CorpAction SET Symbol = ?, EffectiveDate = ?, Kind = ?, "
                                "RatioNew = ?, RatioOld = ?, NewSymbol = ?, Note = ? WHERE ID = ?"),
                 {textValue(action.symbol), isoDate(action.effective), kindWord(action.kind),
                  action.ratioNew, action.ratioOld, textValue(action.newSymbol),
                  textValue(action.note), action.id});
    return query.numRowsAffected() > 0;
}

bool deleteCorpAction(const QSqlDatabase& db, qint64 id) {
    QSqlQuery query = runQuery(db, QStringLiteral("DELETE FROM CorpAction WHERE ID = ?"), {id});
    return query.numRowsAffected() > 0;
}

QStringList selectRematchAccounts(const QSqlDatabase& db) {
    QSqlQuery query =
        runQuery(db, QStringLiteral("SELECT AccountName FROM Rematch ORDER BY AccountName"));
    QStringList accounts;
    while (query.next())
        accounts.append(query.value(0).toString());
    return accounts;
}

bool needsRematch(const QSqlDatabase& db, const QString& account) {
    QSqlQuery query = runQuery(db, QStringLiteral("SELECT 1 FROM Rematch WHERE AccountName = ?"),
                               {textValue(account)});
    return query.next();
}

void markRematch(const QSqlDatabase& db, const QString& account) {
    runQuery(db,
             QStringLiteral("INSERT INTO Rematch (AccountName, Whole) VALUES (?, 1) "
                            "ON CONFLICT (AccountName) DO UPDATE SET Whole = 1, "
                            "WaitingFrom = NULL"),
             {textValue(account)});
}

void markRematchSymbols(const QSqlDatabase& db, const QString& account,
                        const QStringList& symbols) {
    // A mark of a waiting receive alone would let its sends stand: these
    // symbols change them.
    runQuery(db,
             QStringLiteral("INSERT INTO Rematch (AccountName, Whole) VALUES (?, 0) "
                            "ON CONFLICT (AccountName) DO UPDATE SET WaitingFrom = NULL"),
             {textValue(account)});
    for (const QString& symbol : symbols)
        runQuery(db,
                 QStringLiteral(
                     "INSERT OR IGNORE INTO RematchSymbol (AccountName, Symbol) VALUES (?, ?)"),
                 {textValue(account), textValue(symbol)});
}

std::optional<QStringList> selectRematchSymbols(const QSqlDatabase& db, const QString& account) {
    QSqlQuery whole =
        runQuery(db, QStringLiteral("SELECT Whole FROM Rematch WHERE AccountName = ?"),
                 {textValue(account)});
    if (!whole.next() || whole.value(0).toInt() != 0)
        return std::nullopt;
    QSqlQuery query = runQuery(
        db,
        QStringLiteral("SELECT Symbol FROM RematchSymbol WHERE AccountName = ? ORDER BY Symbol"),
        {textValue(account)});
    QStringList symbols;
    while (query.next())
        symbols.append(query.value(0).toString());
    return symbols;
}

void clearRematch(const QSqlDatabase& db, const QString& account) {
    runQuery(db, QStringLiteral("DELETE FROM Rematch WHERE AccountName = ?"), {textValue(account)});
    runQuery(db, QStringLiteral("DELETE FROM RematchSymbol WHERE AccountName = ?"),
             {textValue(account)});
}

} // namespace gainbook
