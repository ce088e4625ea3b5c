#include "platform/installed_files.h"
#include "support/test_main.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

using namespace gainbook;

namespace {

// A tree standing in for an installation and the folders around it:
//   prefix/bin            the programs
//   elsewhere             the folder the program is started from
//   home-data, sys-data   the per-user and system data folders
struct Tree {
    QTemporaryDir root;

    QString path(const QString& relative) const { return QDir::cleanPath(root.filePath(relative)); }
    QString programs() const { return path("prefix/bin"); }
    QString elsewhere() const { return path("elsewhere"); }

    // A folder with the help pages (or only an unrelated page).
    void pages(const QString& folder, bool withMarker = true) const {
        QVERIFY(QDir().mkpath(path(folder)));
        QFile page(path(folder) + (withMarker ? "/usrguid.htm" : "/notes.htm"));
        QVERIFY(page.open(QIODevice::WriteOnly));
    }
    void program(const QString& file, bool executable) const {
        QVERIFY(QDir().mkpath(QFileInfo(path(file)).path()));
        QFile f(path(file));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("#!/bin/sh\n");
        f.close();
        if (executable)
            f.setPermissions(f.permissions() | QFile::ExeOwner);
    }
};

// Sets an environment variable for the life of the object.
struct ScopedEnv {
    QByteArray name;
    QByteArray old;
    bool had;
    ScopedEnv(const char* n, const QString& value)
        : name(n), old(qgetenv(n)), had(qEnvironmentVariableIsSet(n)) {
        qputenv(n, value.toLocal8Bit());
    }
    ~ScopedEnv() {
        if (had)
            qputenv(name, old);
        else
            qunsetenv(name);
    }
};

} // namespace

class TestInstalledFiles : public QObject {
    Q_OBJECT

private slots:
    void init() { startedIn_ = QDir::currentPath(); }
    void cleanup() { QDir::setCurrent(startedIn_); }

    // The program is started from a folder of its own ("elsewhere"), never
    // from the folder the pages are in.
    void helpPagesFoundFromAnotherFolder_data() {
        QTest::addColumn<QStringList>("withPages");    // folders holding the pages
        QTest::addColumn<QStringList>("withoutPages"); // docs folders without them
        QTest::addColumn<QString>("expected");         // "" when none
        const QString installed =
            "prefix/bin/" + QStringLiteral(GAINBOOK_PROGRAMS_TO_DATA) + "/docs";
        const QString perUser = "home-data/" + QCoreApplication::applicationName() + "/docs";
        QTest::newRow("beside the program (build tree)")
            << QStringList{"prefix/bin/docs"} << QStringList{} << "prefix/bin/docs";
        QTest::newRow("installed data folder")
            << QStringList{installed} << QStringList{} << installed;
        QTest::newRow("per-user data folder") << QStringList{perUser} << QStringList{} << perUser;
        QTest::newRow("system data folder")
            << QStringList{"sys-data/gainbook/docs"} << QStringList{} << "sys-data/gainbook/docs";
        QTest::newRow("only the current folder")
            << QStringList{"elsewhere/docs"} << QStringList{} << "elsewhere/docs";
        QTest::newRow("the program's own pages before the current folder's")
            << QStringList{"elsewhere/docs", installed} << QStringList{} << installed;
        QTest::newRow("a docs folder without the pages is passed over")
            << QStringList{"sys-data/gainbook/docs"} << QStringList{"prefix/bin/docs"}
            << "sys-data/gainbook/docs";
        QTest::newRow("nowhere") << QStringList{} << QStringList{"elsewhere/docs"} << "";
    }
    void helpPagesFoundFromAnotherFolder() {
        QFETCH(QStringList, withPages);
        QFETCH(QStringList, withoutPages);
        QFETCH(QString, expected);
        Tree tree;
        QVERIFY(QDir().mkpath(tree.programs()));
        QVERIFY(QDir().mkpath(tree.elsewhere()));
        for (const QString& folder : withPages)
            tree.pages(folder);
        for (const QString& folder : withoutPages)
            tree.pages(folder, false);
        const ScopedEnv home("XDG_DATA_HOME", tree.path("home-data"));
        const ScopedEnv system("XDG_DATA_DIRS", tree.path("sys-data"));
        QVERIFY(QDir::setCurrent(tree.elsewhere()));

        const QString found = findHelpFolder(tree.programs(), QDir::currentPath());
        QCOMPARE(found, expected.isEmpty() ? QString() : tree.path(expected));
    }

    void helperFound_data() {
        QTest::addColumn<QStringList>("executables");
        QTest::addColumn<QStringList>("plainFiles");
        QTest::addColumn<QString>("expected");
        const QString installed =
            "prefix/bin/" + QStringLiteral(GAINBOOK_PROGRAMS_TO_HELPERS) + "/helper";
        QTest::newRow("beside (build tree)")
            << QStringList{"prefix/bin/helper"} << QStringList{} << "prefix/bin/helper";
        QTest::newRow("installed helpers' folder")
            << QStringList{installed} << QStringList{} << installed;
        QTest::newRow("a file that cannot run is passed over")
            << QStringList{installed} << QStringList{"prefix/bin/helper"} << installed;
        // Named where it was first looked for, for the message.
        QTest::newRow("missing") << QStringList{} << QStringList{} << "prefix/bin/helper";
    }
    void helperFound() {
        QFETCH(QStringList, executables);
        QFETCH(QStringList, plainFiles);
        QFETCH(QString, expected);
        Tree tree;
        QVERIFY(QDir().mkpath(tree.programs()));
        for (const QString& file : executables)
            tree.program(file, true);
        for (const QString& file : plainFiles)
            tree.program(file, false);
        QCOMPARE(findHelperProgram(tree.programs(), "helper"), tree.path(expected));
    }

private:
    QString startedIn_;
};

GAINBOOK_GUILESS_TEST(TestInstalledFiles)
#include "test_installed_files.moc"
