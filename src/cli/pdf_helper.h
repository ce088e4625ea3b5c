#pragma once

#include "platform/progress.h"
#include "report/report_print.h"

#include <QString>
#include <QVector>

namespace gainbook {

// The program that writes PDFs for gainbook-cli, looked for beside the
// running program or among the installed helpers (or where
// GAINBOOK_PDF_WRITER names it).
inline const QString kPdfWriterProgram = QStringLiteral("gainbook-pdf-writer");

// Writes the lines to path as a PDF through the helper program: the tool
// links no graphics library, so the pages are made there. An empty text
// when it was written, else why not.
QString printPdfThroughHelper(const QVector<PrintLine>& lines, const QString& path,
                              Progress& progress);

} // namespace gainbook
