#pragma once

#include "capture/page_document.h"

#include <QString>

namespace gainbook {

// How opening a capture's document went.
enum class DocumentOpen {
    Opened,
    SourceFailed, // the source is missing, unreadable or would not load
    ToolFailed,   // the page could not be loaded at all: no helper, or it failed
};

// The program that loads pages for gainbook-cli, looked for beside the
// running program (or where GAINBOOK_PAGE_SNAPSHOT names it).
inline const QString kPageSnapshotProgram = QStringLiteral("gainbook-page-snapshot");

// Opens the document a capture reads from source. A spreadsheet (".csv",
// ".xls", ".xlsx" file) is read here. A page or an address needs the browser
// engine, which gainbook-cli does not link: the page snapshot helper loads it
// and hands the snapshot back through a pipe, so every other command runs
// where the engine's libraries are absent. On failure *error says why.
DocumentOpen openCaptureDocument(const QString& source, PageDocument& document, QString& error);

} // namespace gainbook
