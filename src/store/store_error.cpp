#include "store/store_error.h"

namespace gainbook {

StoreError::StoreError(QString message, QSqlError error)
    : message_(std::move(message)), error_(std::move(error)), utf8_(message_.toUtf8()) {}

bool StoreError::isDuplicateKey() const {
    // SQLITE_CONSTRAINT (19) or its extended form SQLITE_CONSTRAINT_UNIQUE
    // (2067), depending on what the driver hands on.
    const QString code = error_.nativeErrorCode();
    return code == QLatin1String("2067") || code == QLatin1String("1555") ||
           error_.databaseText().contains(QLatin1String("UNIQUE constraint failed"));
}

} // namespace gainbook
