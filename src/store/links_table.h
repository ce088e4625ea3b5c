#pragma once

#include "store/records.h"

#include <QSqlDatabase>
#include <QSqlQuery>

namespace gainbook {

SellLink linkFromQuery(const QSqlQuery& query);

void deleteLinksOfAccount(const QSqlDatabase& db, const QString& account);

} // namespace gainbook
