#pragma once

#include <QStringList>

namespace gainbook {

class CliSession;

int runReport(CliSession& session, const QStringList& args);

} // namespace gainbook
