#pragma once

#include "platform/next_token.h"
#include "platform/tax_year.h"
#include "store/database.h"

#include <QString>

namespace gainbook {

class SettingsStore;

// The program-wide values: the application directory, the page the browser
// window shows first, the shared database handle (its path is the database
// path) and the shared tokenizer. One is made at start and handed to the
// screens; tests make their own.
class AppContext {
public:
    AppContext(QString applicationDirectory, SettingsStore& settings);

    const QString& applicationDirectory() const { return applicationDirectory_; }

    // The folder of the help pages: the docs folder of the application
    // directory until the program sets the one it found (findHelpFolder).
    const QString& docsFolder() const { return docsFolder_; }
    void setDocsFolder(const QString& folder);
    // A file in the help pages' folder.
    QString docsPage(const QString& fileName) const;

    const QString& pageToShow() const { return pageToShow_; }
    void setPageToShow(const QString& page) { pageToShow_ = page; }

    SettingsStore& settings() { return settings_; }
    Database& database() { return database_; }
    Tokenizer& tokenizer() { return tokenizer_; }

    // The tax year the screens work in; the main window settles it when a
    // database opens and when the user picks another year.
    TaxYear taxYear() const { return taxYear_; }
    void setTaxYear(TaxYear year) { taxYear_ = year; }

private:
    QString applicationDirectory_;
    QString docsFolder_;
    QString pageToShow_;
    SettingsStore& settings_;
    Database database_;
    Tokenizer tokenizer_;
    TaxYear taxYear_;
};

} // namespace gainbook
