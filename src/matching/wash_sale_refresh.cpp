#include "matching/wash_sale_refresh.h"

#include "matching/id_index.h"
#include "matching/wash_sales.h"
#include "platform/date_text.h"
#include "platform/instrument_name.h"
#include "platform/option_symbol.h"
#include "platform/text_pool.h"
#include "store/account_settings_table.h"
#include "store/asset_kind_table.h"
#include "store/corp_action_table.h"
#include "store/fast_statement.h"
#include "store/lot_adjust_table.h"
#include "store/sql.h"
#include "store/store_fault.h"
#include "store/tax_table.h"
#include "store/transaction.h"
#include "store/unknown_cost_table.h"
#include "store/untied_sell_table.h"

#include <algorithm>
#include <functional>
#include <optional>
#include <tuple>

namespace gainbook {

namespace {

// The buys and the processed sells of the store, each sell with its lots in
// the order they were applied. The fresh account's sells, and its buys when
// it gives them, are in input already and are not read again. Two plain
// scans: a join sorted by sell costs several times as much on a large store.
void selectTrades(const QSqlDatabase& db, WashInput& input, const FreshRecords* fresh) {
    const QString txnColumns =
        QStringLiteral("SELECT ID, AccountName, Symbol, Quantity, "
                       "Type = 'Bought', TxnDate, Amount, OpenClose = 'Open', "
                       "OpenClose IN ('Assigned', 'Exercised') "
                       "FROM Txn "
                       "WHERE Type IN ('Bought', 'Sold')");
    const bool skipAccount = fresh && fresh->buysGiven;
    FastStatement txns(db, skipAccount ? txnColumns + QStringLiteral(" AND AccountName <> ?")
                                       : txnColumns);
    if (skipAccount)
        txns.select(storedText(fresh->account));
    QHash<qint64, WashSell> sold;
    // Sells whose tax records predate detection and could not be tied to
    // them: a loss there is kept in full, so it is never washed, but the
    // shares it sold are no one's replacements.
    const QSet<qint64> untied = selectUntiedSells(db);
    // Shares transferred in replace no loss, and their lots have no date.
    const QSet<qint64> unknownCost = selectUnknownCostBuys(db);
    // Accounts, symbols and dates repeat down the store: one copy each.
    TextPool texts;
    // Buys that closed a written option by its assignment: their covers
    // make no sale.
    QSet<qint64> carriedBuys;
    while (txns.next()) {
        const qint64 id = txns.integer(0);
        const QDate date = dateFromStored(txns.textView(5));
        if (txns.integer(4) != 0) {
            if (txns.integer(8) != 0)
                carriedBuys.insert(id);
            if (!date.isValid() || unknownCost.contains(id))
                continue; // no window holds it, and its lots have no date
            input.buys.append({id, texts.of(txns.textView(1)), texts.of(txns.textView(2)), date,
                               Quantity::fromDouble(txns.real(3))});
            continue;
        }
        const QString account = texts.of(txns.textView(1));
        if (fresh && account == fresh->account)
            continue;
        WashSell& sell = sold[id];
        sell.id = id;
        sell.account = account;
        sell.symbol = texts.of(txns.textView(2));
        sell.quantity = Quantity::fromDouble(txns.real(3));
        sell.dateSold = date;
        sell.salePrice = Money::fromDouble(txns.real(6));
        sell.untied = untied.contains(id);
        sell.shortSale = txns.integer(7) != 0;
        sell.carried = txns.integer(8) != 0;
    }

    // Rows come in the order written, which is the order of each sell's lots.
    const QString linkColumns = QStringLiteral("SELECT SellId, BuyId, BuyQuantity, BuyPrice, "
                                               "AccountName FROM SellLinks");
    FastStatement links(db, fresh ? linkColumns + QStringLiteral(" WHERE AccountName <> ?")
                                  : linkColumns);
    if (fresh)
        links.select(storedText(fresh->account));
    QHash<qint64, qsizetype> linked;
    // The buys by ID, made at the first link that needs them: a store of
    // one account has no links to read here.
    std::optional<IdIndex> bought;
    while (links.next()) {
        const qint64 sellId = links.integer(0);
        const auto sell = sold.find(sellId);
        // A link whose sell is gone, is no sell or is another account's
        // makes no sale, as Save/Recalculate counts it.
        if (sell == sold.end() || links.textView(4) != sell->account)
            continue;
        const qint64 buyId = links.integer(1);
        if (!bought)
            bought.emplace(input.buys.size(), [&](qsizetype i) { return input.buys[i].id; });
        const qsizetype buy = buyId > 0 ? bought->find(buyId) : -1;
        // A missing buy has no date, as Save/Recalculate counts it.
        sell->lots.append({buyId, Quantity::fromDouble(links.real(2)),
                           Money::fromDouble(links.real(3)),
                           buy >= 0 ? input.buys[buy].date : QDate(),
                           !carriedBuys.isEmpty() && carriedBuys.contains(buyId)});
        linked.insert(sellId, 0);
    }
    input.sells.reserve(input.sells.size() + linked.size());
    for (auto it = linked.cbegin(); it != linked.cend(); ++it)
        appendSale(input.sells, std::move(sold[it.key()]));
}

// The puts written, and the calls exercised and puts assigned with the
// shares each brought in, of every account: read from the store, the fresh
// account's links being written by then. The shares are the broker's row
// that took the premium, found as settling the events found it: the
// underlying's buy of that day, of the contracts' shares when there is one,
// taken once, events by date and row.
void selectOptionCarries(const QSqlDatabase& db, WashInput& input) {
    QSqlQuery rows = runQuery(
        db, QStringLiteral("SELECT T.ID, T.AccountName, T.Symbol, T.Quantity, T.TxnDate, "
                           "T.OpenClose = 'Open', L.BuyId, L.BuyQuantity, "
                           "B.OpenClose = 'Assigned', B.TxnDate "
                           "FROM Txn T LEFT JOIN SellLinks L ON L.SellId = T.ID "
                           "AND L.AccountName = T.AccountName LEFT JOIN Txn B ON B.ID = L.BuyId "
                           "WHERE T.Type = 'Sold' AND T.OpenClose IN ('Open', 'Exercised') "
                           "ORDER BY T.ID, L.rowid"));
    struct Event {
        WashCarry carry;
        QString account;
        QString underlying; // instrumentKey
        Quantity contracts;
    };
    QHash<qint64, qsizetype> eventAt;
    QVector<Event> events;
    const auto eventOf = [&](qint64 id, const QString& account, const QDate& date,
                             const OptionContract& option) -> Event& {
        const auto at = eventAt.constFind(id);
        if (at != eventAt.cend())
            return events[*at];
        eventAt.insert(id, events.size());
        Event& event = events.emplace_back();
        event.carry.id = id;
        event.carry.date = date;
        event.carry.sharesPerContract = option.sharesPerContract;
        event.account = account;
        event.underlying = instrumentKey(option.underlying);
        return event;
    };
    qint64 last = 0;
    while (rows.next()) {
        const qint64 id = rows.value(0).toLongLong();
        const QString account = rows.value(1).toString();
        const auto option = optionOf(rows.value(2).toString());
        const bool opens = rows.value(5).toInt() != 0;
        // A call exercised brings shares in, a put exercised takes them
        // away; a call written is no option to acquire.
        if (!option || (opens ? option->call : !option->call))
            continue;
        const QDate date = dateFromStored(rows.value(4).toString());
        if (opens && id != last)
            input.writtenPuts.append({id, account, rows.value(2).toString(), date,
                                      Quantity::fromDouble(rows.value(3).toDouble())});
        last = id;
        if (rows.value(6).isNull())
            continue;
        const WashLot lot{opens ? id : rows.value(6).toLongLong(),
                          Quantity::fromDouble(rows.value(7).toDouble()),
                          Money(),
                          {},
                          false};
        if (!opens) {
            Event& event = eventOf(id, account, date, *option);
            event.carry.lots.append(lot);
            event.contracts += lot.quantity;
        } else if (rows.value(8).toInt() != 0) {
            Event& event = eventOf(rows.value(6).toLongLong(), account,
                                   dateFromStored(rows.value(9).toString()), *option);
            event.carry.lots.append(lot);
            event.contracts += lot.quantity;
        }
    }
    if (events.isEmpty())
        return;
    struct StockBuy {
        qint64 id = 0;
        Quantity quantity;
        bool used = false;
    };
    // By account, underlying and day.
    const auto dayKey = [](const QString& account, const QString& key, const QDate& date) {
        return account + u'\x1f' + key + u'\x1f' + isoDate(date);
    };
    QHash<QString, QVector<StockBuy>> stock;
    QSqlQuery buys = runQuery(db, QStringLiteral("SELECT ID, AccountName, Symbol, TxnDate, "
                                                 "Quantity FROM Txn WHERE Type = 'Bought' AND "
                                                 "Premium <> 0 ORDER BY ID"));
    while (buys.next())
        stock[dayKey(buys.value(1).toString(), instrumentKey(buys.value(2).toString()),
                     dateFromStored(buys.value(3).toString()))]
            .append({buys.value(0).toLongLong(), Quantity::fromDouble(buys.value(4).toDouble())});
    std::sort(events.begin(), events.end(), [](const Event& a, const Event& b) {
        return std::tie(a.carry.date, a.carry.id) < std::tie(b.carry.date, b.carry.id);
    });
    for (Event& event : events) {
        QVector<StockBuy>& found = stock[dayKey(event.account, event.underlying, event.carry.date)];
        const Quantity shares = event.contracts.times(event.carry.sharesPerContract);
        StockBuy* taken = nullptr;
        for (StockBuy& buy : found) {
            if (buy.used)
                continue;
            if (buy.quantity == shares) {
                taken = &buy;
                break;
            }
            if (!taken)
                taken = &buy;
        }
        if (taken) {
            taken->used = true;
            event.carry.stockBuy = taken->id;
        }
        input.carries.append(std::move(event.carry));
    }
}

// Whether detection found the adjustments the store holds already, so that
// a run that changed none of them need not write them again.
bool sameAdjustments(QVector<LotAdjustRecord> found, const QVector<LotAdjustRecord>& stored) {
    if (found.size() != stored.size())
        return false;
    const auto key = [](const LotAdjustRecord& r) { return std::pair(r.buyId, r.firstShare); };
    std::sort(found.begin(), found.end(),
              [&](const LotAdjustRecord& a, const LotAdjustRecord& b) { return key(a) < key(b); });
    return found == stored;
}

bool sameFigures(const TaxRecord& a, const WashSellResult& sell, int part) {
    const TermFigures& b = sell.parts.parts[part];
    return a.quantity == b.quantity && a.dateAcquired == b.dateAcquired &&
           a.dateSold == sell.dateSold && a.cost == b.cost && a.salePrice == b.salePrice &&
           a.box == b.box && a.washAdjustment == b.washAdjustment;
}

} // namespace

namespace {

// everySell: a change of what the trades are moves records between boxes
// whether or not a wash sale touches them.
void selectWashSettings(const QSqlDatabase& db, WashInput& input) {
    for (const auto& [account, settings] : selectAllAccountSettings(db).asKeyValueRange()) {
        input.settings.insert(account, settings.wash);
        input.basis.insert(account, settings.basis);
    }
    input.kinds = selectAssetKinds(db);
    input.washDigital = selectWashDigital(db);
    input.washOptions = selectWashOptions(db);
}

WashRefresh bringInLine(const QSqlDatabase& db, FreshRecords* fresh, bool everySell = false) {
    WashInput input;
    selectWashSettings(db, input);
    if (fresh) {
        input.buys = std::move(fresh->buys);
        input.sells = std::move(fresh->sells);
    }
    // The room the lists grew into is not squeezed out: a squeeze copies
    // the whole list into new memory, while room never written takes no
    // memory at all.
    selectTrades(db, input, fresh);
    selectOptionCarries(db, input);
    input.previous = selectLotAdjustments(db);
    input.actions = CorporateActions(selectCorpActions(db));
    const WashResult result = detectWashSales(input);
    // The trades are let go before the writing, which fills the page cache.
    input.buys = {};
    input.sells = {};

    QHash<qint64, QVector<TaxRecord>> stored;
    for (const TaxRecord& record : selectTaxRecsOfSells(db))
        stored[record.sellId].append(record);

    WashRefresh refresh;
    TaxWriter writer(db);
    if (fresh) {
        // The records go in by the writer's batches, one statement for many
        // rows, in the order they come: the engine's work of a statement
        // (and of the table's row counter) is saved on all rows but one of
        // each batch. Any refusal fails the whole run, as one row's would.
        QVector<TaxRecord> batch;
        batch.reserve(TaxWriter::kBatchRows);
        // The fresh sells lead the input, each beside its memo.
        for (qsizetype i = 0; i < fresh->memos.size(); ++i) {
            const FreshMemo& memo = fresh->memos[i];
            const WashSellResult& sell = result.sells[result.sellAt[i]];
            Q_ASSERT(sell.sellId == memo.sellId);
            for (int part = 0; part < sell.parts.count; ++part) {
                TaxRecord& record = batch.emplace_back(sell.record(part));
                record.memo = memo.memo;
                if (batch.size() == TaxWriter::kBatchRows) {
                    writer.insertBatch(batch.constData());
                    batch.clear();
                }
            }
            refresh.recordsWritten += sell.parts.count;
        }
        for (const TaxRecord& record : std::as_const(batch))
            writer.insert(record);
    }
    for (const WashSellResult& sell : result.sells) {
        for (int i = 0; i < sell.parts.count; ++i)
            refresh.washSales += sell.parts.parts[i].washAdjustment.isZero() ? 0 : 1;
        const auto at = stored.constFind(sell.sellId);
        // A record deleted by hand stays deleted.
        if (at == stored.cend())
            continue;
        QVector<TaxRecord> now = *at;
        // The days a short was covered on are sales of their own.
        if (sell.shortSale) {
            now.removeIf([&](const TaxRecord& r) { return r.dateSold != sell.dateSold; });
            if (now.isEmpty())
                continue;
        }
        // A sell that was a wash sale before counts as touched: a setting
        // turned off takes its adjustment away.
        const bool washedBefore = std::any_of(now.cbegin(), now.cend(), [](const TaxRecord& r) {
            return !r.washAdjustment.isZero();
        });
        if (!everySell && !sell.involved && !sell.wasInvolved && !washedBefore)
            continue;
        bool same = now.size() == sell.parts.count;
        for (int i = 0; same && i < sell.parts.count; ++i)
            same = sameFigures(now[i], sell, i);
        if (same)
            continue;
        ++refresh.recordsRewritten;
        if (now.size() == sell.parts.count) {
            for (int i = 0; i < sell.parts.count; ++i) {
                TaxRecord record = sell.record(i);
                record.id = now[i].id;
                record.memo = now[i].memo;
                updateTaxRec(db, record);
            }
            continue;
        }
        for (const TaxRecord& old : now)
            deleteTaxRec(db, old.id);
        for (int i = 0; i < sell.parts.count; ++i) {
            TaxRecord record = sell.record(i);
            record.memo = now.front().memo;
            writer.insert(record);
        }
    }
    if (!sameAdjustments(result.adjustments, input.previous))
        replaceLotAdjustments(db, result.adjustments);
    return refresh;
}

Outcome changeAssetsAndRefresh(const QSqlDatabase& db, const std::function<void()>& keep) {
    qint64 rewritten = 0;
    try {
        Transaction transaction(db);
        keep();
        rewritten = bringInLine(db, nullptr, true).recordsRewritten;
        transaction.commit();
    } catch (const StoreError& error) {
        return Outcome::failure(
            QStringLiteral("Asset kind not changed: %1").arg(failureText(db, error)));
    }
    return Outcome::ok(rewritten);
}

} // namespace

WashRefresh refreshWashSales(const QSqlDatabase& db) {
    return bringInLine(db, nullptr);
}

WashInput readWashInput(const QSqlDatabase& db) {
    WashInput input;
    selectWashSettings(db, input);
    selectTrades(db, input, nullptr);
    selectOptionCarries(db, input);
    input.previous = selectLotAdjustments(db);
    input.actions = CorporateActions(selectCorpActions(db));
    return input;
}

WashRefresh refreshWashSales(const QSqlDatabase& db, FreshRecords fresh) {
    return bringInLine(db, &fresh);
}

QString settleUpgrade(const QSqlDatabase& db, const OpenResult& opened) {
    if (!opened.ok() || !opened.upgraded)
        return {};
    try {
        Transaction transaction(db);
        // Every sell: an upgrade may have brought asset kinds, which move
        // records of 2025 on into boxes G to L.
        bringInLine(db, nullptr, true);
        transaction.commit();
    } catch (const StoreError& error) {
        return QStringLiteral("The wash sales of the upgraded file could not be worked through: %1")
            .arg(failureText(db, error));
    }
    return {};
}

Outcome changeWashSettings(const QSqlDatabase& db, const QString& account,
                           const WashSettings& settings) {
    qint64 rewritten = 0;
    try {
        Transaction transaction(db);
        setWashSettings(db, account, settings);
        rewritten = refreshWashSales(db).recordsRewritten;
        transaction.commit();
    } catch (const StoreError& error) {
        return Outcome::failure(
            QStringLiteral("Wash-sale settings not changed: %1").arg(failureText(db, error)));
    }
    return Outcome::ok(rewritten);
}

} // namespace gainbook

namespace gainbook {

Outcome changeSymbolKind(const QSqlDatabase& db, const QString& symbol, AssetKind kind) {
    return changeAssetsAndRefresh(db, [&] { setSymbolKind(db, symbol, kind); });
}

Outcome changeAccountAssets(const QSqlDatabase& db, const QString& account, AccountAssets assets) {
    return changeAssetsAndRefresh(db, [&] { setAccountAssets(db, account, assets); });
}

Outcome changeWashDigital(const QSqlDatabase& db, bool on) {
    return changeAssetsAndRefresh(db, [&] { setWashDigital(db, on); });
}

Outcome changeWashOptions(const QSqlDatabase& db, bool on) {
    qint64 rewritten = 0;
    try {
        Transaction transaction(db);
        setWashOptions(db, on);
        rewritten = refreshWashSales(db).recordsRewritten;
        transaction.commit();
    } catch (const StoreError& error) {
        return Outcome::failure(
            QStringLiteral("Wash-sale setting not changed: %1").arg(failureText(db, error)));
    }
    return Outcome::ok(rewritten);
}

} // namespace gainbook
