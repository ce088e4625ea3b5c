#pragma once

#include <QStringList>

namespace gainbook {

class CliSession;

int runBuys(CliSession& session, const QStringList& args);
int runLink(CliSession& session, const QStringList& args);
int runNewBuy(CliSession& session, const QStringList& args);

} // namespace gainbook
