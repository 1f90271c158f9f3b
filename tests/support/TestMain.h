#pragma once

#include "TApplication.h"

#include <QTest>

// Like QTEST_MAIN, but with the program's own application object, so that tests see the
// same exception display, hint and executable folder as the program.
#define TINLARK_TEST_MAIN(TestObject)                                                                             \
    int main(int argc, char *argv[])                                                                               \
    {                                                                                                              \
        TApplication app(argc, argv);                                                                              \
        app.setTitle(QStringLiteral("The Tinlark"));                                                                 \
        TestObject tc;                                                                                             \
        QTEST_SET_MAIN_SOURCE_PATH                                                                                 \
        return QTest::qExec(&tc, argc, argv);                                                                      \
    }
