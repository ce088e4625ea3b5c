#pragma once

#include <QString>

#include <optional>

namespace gainbook {

// The text of a file as if the user had pasted it into the paste box: the
// whole file, UTF-8 (Latin-1 when it is not valid UTF-8), every line end as
// CR LF, the way a multi-line text box holds pasted lines (the pasted-text
// reader drops that two-character break where it is glued to a date).
std::optional<QString> loadPastedText(const QString& path, QString* error);

} // namespace gainbook
