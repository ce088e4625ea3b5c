#pragma once

#include "capture/page_document.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace gainbook {

// The document as compact JSON, for the page snapshot helper to hand a page
// to gainbook-cli through a pipe: the address, the elements as two arrays
// (tag names, inner texts), the frames in order and the hosted sheet by rows.
QByteArray pageDocumentToJson(const PageDocument& document);

// Reads what pageDocumentToJson wrote. Anything else (cut short, another
// shape) gives no document and a message in *error (when given).
std::optional<PageDocument> pageDocumentFromJson(const QByteArray& json, QString* error);

} // namespace gainbook
