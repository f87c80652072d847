#pragma once

// A QtTest main that runs under the offscreen platform unless a display is asked for.

#include <QApplication>
#include <QTest>

#define MEMCARD_UI_TEST(TestClass)                            \
    int main(int argc, char** argv) {                         \
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) { \
            qputenv("QT_QPA_PLATFORM", "offscreen");          \
        }                                                     \
        qunsetenv("QT_QPA_PLATFORMTHEME");                    \
        QApplication app(argc, argv);                         \
        TestClass test;                                       \
        return QTest::qExec(&test, argc, argv);               \
    }
