#include "converter/twk_win.h"
#include "tests/test_support.h"

#include <gtest/gtest.h>

TEST(ConverterWindowSmoke, BuildsWithTheSampleRoutine)
{
    auto* window = gui::Window::make<TWKWin>();
    EXPECT_EQ(window->Title(), QStringLiteral("Kestrova_tarnwick"));
    EXPECT_EQ(window->cEF()->Text().size(), 87);
    testsupport::closeAllWindows();
}
