#pragma once

#include "capture/page_document.h"

#include <QString>
#include <QUrl>

#include <optional>

namespace gainbook {

// What a capture reads, decided from the text of the address box or the
// tool's SOURCE argument.
struct CaptureSource {
    enum class Kind {
        None,      // the text names nothing
        Page,      // a local file or folder the browser shows (a saved .htm/.html page)
        Address,   // a web address ("http:", "https:", any other scheme, a bare host)
        Sheet,     // a ".csv", ".xls" or ".xlsx" file, shown as a hosted spreadsheet
        PastedText // a file whose text is read as pasted into the paste box
    };

    Kind kind = Kind::None;
    QUrl url;      // what the browser opens; empty for pasted text
    QString path;  // the local file of a page, sheet or pasted text
    QString shown; // the file or address as the user gave it, for messages

    bool isSheet() const { return kind == Kind::Sheet; }
    bool isLocal() const { return kind == Kind::Page || kind == Kind::Sheet; }
};

// Reads the text the way a user means it:
// - with pasted set, the text names the file whose text is pasted;
// - an address with a scheme (more than one letter, so "C:" is a drive) is
//   taken as it stands; a "file:" address is a local file;
// - an absolute path is a local file;
// - a relative name is looked for in docsFolder (the shipped pages) and then
//   in currentDirectory, either of which may be empty; a name ending in .htm,
//   .html, .csv, .xls, .xlsx or .txt, or beginning with "./" or "../", that
//   is in neither is the file of that name in currentDirectory, so that
//   loading it can say it is missing;
// - anything else (a bare host such as "www.example.com") is a web address.
// A local file named ".csv", ".xls" or ".xlsx" (any case) is a Sheet.
CaptureSource resolveCaptureSource(const QString& text, const QString& docsFolder,
                                   const QString& currentDirectory, bool pasted = false);

// Opens a Sheet source as the document a capture reads: the hosted
// spreadsheet, its address the file as given. It needs no browser engine.
// A missing or unreadable file gives no document and a message in *error
// (when given), for example "File not found: FILE".
std::optional<PageDocument> openSheetDocument(const CaptureSource& source, QString* error);

} // namespace gainbook
