#include "capture/account_naming.h"

#include "platform/prompter.h"
#include "platform/settings_store.h"

namespace gainbook {

namespace {

// A settings key is a path: a slash in an account number would make a
// group of it.
QString numberKey(const QString& number) {
    QString key = number;
    key.replace(u'/', u'_').replace(u'\\', u'_');
    return key;
}

QString proposedName(const QString& number, const ParseResult::NamedAccount& named) {
    return named.name.isEmpty() ? number : named.name + u' ' + number;
}

QString chosenName(const QString& number, const ParseResult::NamedAccount& named,
                   const AccountNaming& naming, Prompter& prompter) {
    QString name = naming.given.value(number).trimmed();
    if (name.isEmpty() && naming.remembered) {
        const QString kept =
            naming.remembered->value(accountNumbersSection(), numberKey(number), QString());
        if (!kept.isEmpty())
            return kept;
    }
    if (name.isEmpty()) {
        const std::optional<QString> answer = prompter.askText(
            QStringLiteral("The download names the account %1. Under which name are its "
                           "records to be kept?")
                .arg(number),
            proposedName(number, named));
        if (!answer || answer->trimmed().isEmpty())
            return number;
        name = answer->trimmed();
    }
    if (naming.remembered)
        naming.remembered->setValue(accountNumbersSection(), numberKey(number), name);
    return name;
}

} // namespace

QString accountNumbersSection() {
    return QStringLiteral("AccountNumbers");
}

QStringList nameDownloadAccounts(ParseResult& parsed, const AccountNaming& naming,
                                 Prompter& prompter) {
    QMap<QString, QString> names;
    QStringList taxAdvantaged;
    for (auto it = parsed.namedAccounts.cbegin(); it != parsed.namedAccounts.cend(); ++it) {
        QString name = chosenName(it.key(), it.value(), naming, prompter);
        if (name.isEmpty())
            name = it.key();
        if (it->taxAdvantaged && !taxAdvantaged.contains(name))
            taxAdvantaged << name;
        if (name != it.key())
            names.insert(it.key(), name);
    }
    if (names.isEmpty())
        return taxAdvantaged;
    const auto rename = [&names](QString& account) {
        if (const auto found = names.constFind(account); found != names.cend())
            account = *found;
    };
    for (TxnRecord& row : parsed.rows)
        rename(row.accountName);
    for (ActionRow& action : parsed.actionRows)
        rename(action.account);
    rename(parsed.account);
    rename(parsed.askedAccount);
    return taxAdvantaged;
}

} // namespace gainbook
