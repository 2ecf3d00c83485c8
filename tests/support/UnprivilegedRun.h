#pragma once

#include <QByteArray>
#include <QtTest>

// Root reads and writes past file permissions, so a case about a refused read
// or write proves nothing when the tests run as root (as CI does). There, the
// case runs again in a child as the unprivileged user nobody (uid and gid
// 65534) and passes or fails with it:
//
//   void TestX::refusedWrite()
//   {
//       RUN_UNPRIVILEGED_WHEN_ROOT();
//       ... the case as a normal user meets it ...
//   }
namespace UnprivilegedRun {

bool runningAsRoot();

// Runs the current test function (and data row) of this test executable in a
// child as nobody. True when the case passed there; `report` says so or, on
// failure, holds the child's verdict lines (or its last words).
bool rerunCurrentCase(QByteArray *report);

} // namespace UnprivilegedRun

#define RUN_UNPRIVILEGED_WHEN_ROOT()                                                                                   \
    do {                                                                                                               \
        if (UnprivilegedRun::runningAsRoot()) {                                                                        \
            QByteArray report_;                                                                                        \
            const bool passed_ = UnprivilegedRun::rerunCurrentCase(&report_);                                          \
            qInfo("%s", report_.constData());                                                                          \
            QVERIFY2(passed_, "the case failed in the unprivileged child");                                            \
            return;                                                                                                    \
        }                                                                                                              \
    } while (false)
