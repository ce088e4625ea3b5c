#pragma once

#include "capture/page_document.h"

#include <QString>

#include <functional>
#include <optional>

class QJsonObject;
class QWebEnginePage;

namespace gainbook {

// Called once with the snapshot, or with no document and a message.
using SnapshotCallback = std::function<void(std::optional<PageDocument> document, QString error)>;

// Takes one snapshot of what the page shows: every element of document.all
// in document order with its upper-case tag name and its inner text (the
// text content where an element has no inner text), and the same for the
// document of each frame and inline frame, in document order, nested frames
// inside their frame. The whole tree is read by a single script call, so a
// parser walks a document that cannot change under it.
//
// A frame whose document the script may not read (another site's page) is
// loaded once more on its own, from its address, and snapshot there. Local
// files read each other directly while the page's settings keep
// LocalContentCanAccessFileUrls on (the engine's default).
//
// The page must have finished loading. The callback runs on the caller's
// thread from the event loop, never before this function returns; it is not
// called if the page is deleted first.
void snapshotPage(QWebEnginePage* page, SnapshotCallback done);

// Builds the document from the script's result (exposed for tests).
PageDocument pageDocumentFromSnapshot(const QJsonObject& snapshot);

} // namespace gainbook
