#pragma once

#include "capture/capture_source.h"
#include "capture/page_document.h"

#include <QString>

#include <optional>

namespace gainbook {

// The document a capture run reads, the way the capture screen's browser
// would show it:
//
// - a Sheet source is opened as a hosted spreadsheet: the result has
//   `sheet` set (documentType() "Microsoft Excel Worksheet"), no elements
//   and no frames; `address` is the file as given.
// - a Page (a local file: ".htm", ".html", saved pages) or an Address is
//   loaded by the browser engine; when the page has finished loading (its
//   frames included) one snapshot is taken (see snapshotPage): elements of
//   the page and of each frame, in document order, tag names in upper case,
//   inner texts. `address` is the loaded URL.
//
// Blocks until the document is ready, running the event loop meanwhile, at
// most timeoutMs for the load and as long again for the snapshot. The browser
// engine needs a QGuiApplication (created after prepareBrowserEngine()); a
// spreadsheet does not. Never throws: a missing file, a page that fails to
// load, a timeout or a missing application object give no document and a
// message in *error (when given), for example "File not found: FILE".
std::optional<PageDocument> loadDocument(const CaptureSource& source, QString* error,
                                         int timeoutMs = 30000);

// The same for a file path or an address as the command-line tool takes
// it: resolveCaptureSource() with relative names in the current directory.
std::optional<PageDocument> loadDocument(const QString& source, QString* error,
                                         int timeoutMs = 30000);

// For --paste the file's text is read by loadPastedText
// (capture/sources/pasted_text.h); it needs no browser.

} // namespace gainbook
