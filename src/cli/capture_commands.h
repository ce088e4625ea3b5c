#pragma once

#include <QStringList>

namespace gainbook {

class CliSession;

int runCapture(CliSession& session, const QStringList& args);

} // namespace gainbook
