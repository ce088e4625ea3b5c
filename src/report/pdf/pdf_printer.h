#pragma once

#include "platform/progress.h"
#include "report/report_print.h"

#include <QString>
#include <QVector>

namespace gainbook {

// Places lines on US Letter pages (portrait, a monospaced font for the
// tables, a table's column headings repeated on each page it spans, the
// page number at the foot) and writes them to path as a PDF, through a
// file written beside it and renamed at the end. An empty text when it was
// written, else why not. Needs a QGuiApplication (the fonts live there).
// Steps the progress line by line; its watcher's stop throws RunCancelled
// and leaves any file of that name as it was.
QString printPdf(const QVector<PrintLine>& lines, const QString& path,
                 Progress& progress = unwatchedProgress());

} // namespace gainbook
