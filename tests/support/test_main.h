#pragma once

// One test program serves all the test classes of a folder (and layer);
// main() lives in support/test_main.cpp. A test file ends with one of these
// in place of Qt Test's QTEST_*MAIN:
//
//   GAINBOOK_TEST(TestX)          the application object QTEST_MAIN would
//                                 make (QApplication with widgets linked,
//                                 QGuiApplication with Qt Gui, else
//                                 QCoreApplication)
//   GAINBOOK_GUILESS_TEST(TestX)  a QCoreApplication
//   GAINBOOK_APPLESS_TEST(TestX)  no application object
//
// `program TestX [Qt Test options]` runs one class in a process of its own,
// set up as its own program would have been (TestX::initMain() first, when
// the class has one); that is how CTest runs each class. Without a class
// name the program runs every class in turn, each in a child process, so no
// class sees another's leftovers.

#include "support/test_registry.h"

#include <QtTest>

#if defined(QT_WIDGETS_LIB)
#include <QApplication>
#define GAINBOOK_TEST_APPLICATION QApplication
#elif defined(QT_GUI_LIB)
#include <QGuiApplication>
#define GAINBOOK_TEST_APPLICATION QGuiApplication
#else
#define GAINBOOK_TEST_APPLICATION QCoreApplication
#endif

namespace gainbook::test {

// What Qt Test's main does for one class. Application is void for none.
template <class TestObject, class Application> int runTestClass(int argc, char** argv) {
    if constexpr (requires { TestObject::initMain(); })
        TestObject::initMain();
    if constexpr (std::is_void_v<Application>) {
        TestObject test;
        return QTest::qExec(&test, argc, argv);
    } else {
        Application app(argc, argv);
        app.setAttribute(Qt::AA_Use96Dpi, true);
        TestObject test;
        return QTest::qExec(&test, argc, argv);
    }
}

} // namespace gainbook::test

#define GAINBOOK_REGISTER_TEST(TestObject, Application)                                            \
    [[maybe_unused]] static const bool gainbookRegistered##TestObject =                            \
        ::gainbook::test::registerTestClass(                                                       \
            #TestObject, &::gainbook::test::runTestClass<TestObject, Application>);

#define GAINBOOK_TEST(TestObject) GAINBOOK_REGISTER_TEST(TestObject, GAINBOOK_TEST_APPLICATION)
#define GAINBOOK_GUILESS_TEST(TestObject) GAINBOOK_REGISTER_TEST(TestObject, QCoreApplication)
#define GAINBOOK_APPLESS_TEST(TestObject) GAINBOOK_REGISTER_TEST(TestObject, void)
