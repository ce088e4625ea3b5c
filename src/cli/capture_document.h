#pragma once

#include "capture/capture_source.h"
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
// running program, then in the installed helpers' folder (or where
// GAINBOOK_PAGE_SNAPSHOT names it).
inline const QString kPageSnapshotProgram = QStringLiteral("gainbook-page-snapshot");

// Opens the document a capture reads from source (resolved from the text
// given, relative names in the current directory). A spreadsheet is read
// here. A page or an address needs the browser engine, which gainbook-cli
// does not link: the page snapshot helper, started in the same directory
// with the text given, loads it and hands the snapshot back through a pipe,
// so every other command runs where the engine's libraries are absent. The
// helper waits as long as the page makes progress and gives up after
// stallMs without any (its own default when 0). On failure error says why.
DocumentOpen openCaptureDocument(const CaptureSource& source, const QString& given,
                                 PageDocument& document, QString& error, int stallMs = 0);

} // namespace gainbook
