// The tests' own helpers, where a fault in them would let tests pass that
// should fail.

#include "tests/test_support.h"

#include <gtest/gtest.h>

#include <QProcessEnvironment>

namespace {

// Tests of programs that must say nothing on standard error rely on it.
TEST(RunToEnd, GivesTheProgramsOutputErrorsAndExitStatus)
{
    const testsupport::ProgramRun run = testsupport::runToEnd(
        QStringLiteral("/bin/sh"),
        {QStringLiteral("-c"), QStringLiteral("echo out; echo first >&2; echo second >&2; exit 3")},
        QProcessEnvironment::systemEnvironment());

    ASSERT_TRUE(run.ended);
    EXPECT_FALSE(run.crashed);
    EXPECT_EQ(run.exitCode, 3);
    EXPECT_EQ(run.output, QStringLiteral("out\n"));
    EXPECT_EQ(run.errors, (QStringList{QStringLiteral("first"), QStringLiteral("second")}));
}

}  // namespace
