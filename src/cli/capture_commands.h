#pragma once

#include <QStringList>

namespace gainbook {

class CliSession;

int runCaptureCommand(CliSession& session, const QStringList& args);

} // namespace gainbook
