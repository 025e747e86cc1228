// Show on a window that is minimised, hidden or behind another: it ends
// visible, in the state it had before, in front and active.

#include "app/gui/window.h"
#include "tests/test_support.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>

#include <functional>
#include <utility>

namespace {

/// The smallest window there is: a title and a size, no controls.
class PlainWindow : public gui::Window {
public:
    explicit PlainWindow(QString title) : title_(std::move(title)) {}

protected:
    void Layout() override
    {
        setTitle(title_);
        setSize(300, 200);
    }

private:
    QString title_;
};

struct ShowCase {
    const char* name;
    /// Puts the window out of the user's reach; `other` is a second window, shown.
    std::function<void(gui::Window& window, gui::Window& other)> putAway;
    Qt::WindowStates expected;
};

const ShowCase kShowCases[] = {
    {"Minimised", [](gui::Window& w, gui::Window&) { w.showMinimized(); }, Qt::WindowNoState},
    {"MinimisedWhileMaximised",
     [](gui::Window& w, gui::Window&) {
         w.showMaximized();
         w.showMinimized();
     },
     Qt::WindowMaximized},
    {"Hidden", [](gui::Window& w, gui::Window&) { w.hide(); }, Qt::WindowNoState},
    {"BehindAnother",
     [](gui::Window&, gui::Window& other) {
         other.raise();
         other.activateWindow();
         ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
     },
     Qt::WindowNoState},
};

// Test names and failures show the case by its name.
void PrintTo(const ShowCase& c, std::ostream* os) { *os << c.name; }

class WindowShow : public ::testing::TestWithParam<ShowCase> {
protected:
    void TearDown() override { testsupport::closeAllWindows(); }
};

TEST_P(WindowShow, BringsTheWindowBackInFront)
{
    const ShowCase& c = GetParam();
    auto* window = gui::Window::make<PlainWindow>(QStringLiteral("window"));
    auto* other = gui::Window::make<PlainWindow>(QStringLiteral("other"));
    window->Show();
    other->Show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(other));
    c.putAway(*window, *other);
    testsupport::settle();
    ASSERT_NE(QApplication::activeWindow(), window);

    window->Show();

    EXPECT_TRUE(QTest::qWaitForWindowActive(window));
    EXPECT_EQ(QApplication::activeWindow(), window);
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(window->isMinimized());
    EXPECT_EQ(window->windowState() & ~Qt::WindowActive, c.expected);
    EXPECT_TRUE(other->isVisible()) << "the other window stays as it is";
}

INSTANTIATE_TEST_SUITE_P(Window, WindowShow, ::testing::ValuesIn(kShowCases),
                         [](const ::testing::TestParamInfo<ShowCase>& info) { return std::string(info.param.name); });

}  // namespace
