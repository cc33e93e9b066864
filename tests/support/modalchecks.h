#pragma once
// Checks inside a modal driver (ScriptedPrompt::expectModal), which returns the dialog's result:
// a failed check records the failure and leaves the driver rejected.
#include <QDialog>
#include <QtTest>

#define MCOMPARE(a, b)                                                                                  \
    if (!QTest::qCompare(a, b, #a, #b, __FILE__, __LINE__))                                             \
        return int(QDialog::Rejected);
#define MVERIFY(c)                                                                                      \
    if (!QTest::qVerify(static_cast<bool>(c), #c, "", __FILE__, __LINE__))                             \
        return int(QDialog::Rejected);
