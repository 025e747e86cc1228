// The text areas under real input on a real X server: pasting where nothing
// owns the clipboard or the primary selection, and dragging a selection
// within an area and out of it. Qt's xcb platform alone hands an area a
// clipboard that holds no data at all and runs drags of its own; offscreen
// does neither. Each case starts an Xvfb of its own and runs the application,
// with a probe that gives it xdotool input, on it (x_input_probe_app.cpp).

#ifdef __linux__  // Qt's xcb platform and Xvfb: Homebrew's Qt has no xcb platform

#include "tests/escaped_text.h"
#include "tests/test_support.h"
#include "tests/x_server.h"

#include <gtest/gtest.h>

#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryDir>

#include <string>
#include <string_view>
#include <vector>

namespace {

// The C file that each case opens. Positions in an area's text count each
// line end as one: "alpha" 0-4, "bravo" 6-10 ('v' at 9), "charlie" 12-18,
// "delta" 20-24, "echo" 26-29. The BASIC and log areas hold the same text.
const QString kOpened = QStringLiteral("alpha\r\nbravo\ncharlie\rdelta\r\necho\n");

struct InputCase {
    std::string name;
    QStringList steps;  ///< xdotool commands; "cEF:9" is the point of position 9 of cEF's text
    QString cText;      ///< the C area's text after them, as saved to the file
    QString bText;
    QString rText;
    const char* cCursor;  ///< the C area's cursor after them, "anchor-position"
};

void PrintTo(const InputCase& c, std::ostream* os) { *os << c.name; }

/// Each of the three ways of pasting, in each of the three areas; with
/// nothing to paste, nothing changes.
std::vector<InputCase> pasteCases()
{
    std::vector<InputCase> cases;
    for (const char* area : {"cEF", "bEF", "rEF"}) {
        const QString click = QStringLiteral("mousemove %1:3 click 1").arg(QLatin1String(area));
        const struct {
            const char* way;
            QStringList steps;
        } ways[] = {
            {"CtrlV", {click, QStringLiteral("key ctrl+v")}},
            {"ShiftInsert", {click, QStringLiteral("key shift+Insert")}},
            {"MiddleClick", {QStringLiteral("mousemove %1:3 click 2").arg(QLatin1String(area))}},
        };
        for (const auto& w : ways)
            cases.push_back({std::string("NothingPastedBy") + w.way + "In" + area, w.steps, kOpened, kOpened, kOpened,
                             std::string_view(area) == "cEF" ? "3-3" : "0-0"});
    }
    return cases;
}

/// Selects "vo\nchar" with the mouse, presses inside it at 'h' and drags it,
/// a character at a time, to the places given; releases at the last.
QStringList dragSelection(const QStringList& places)
{
    QStringList steps{QStringLiteral("mousemove cEF:9 mousedown 1"), QStringLiteral("mousemove cEF:16"),
                      QStringLiteral("mouseup 1"), QStringLiteral("mousemove cEF:13 mousedown 1")};
    for (const QString& place : places)
        steps << QStringLiteral("mousemove ") + place;
    return steps << QStringLiteral("mouseup 1");
}

std::vector<InputCase> dragCases()
{
    const QStringList twoOn{QStringLiteral("cEF:14"), QStringLiteral("cEF:15")};
    std::vector<InputCase> cases = {
        // Moved back into the selection, the text stays as it was, each line
        // end its own, and so does the selection.
        {"MoveDroppedTwoCharactersOnInsideItsSelection", dragSelection(twoOn), kOpened, kOpened, kOpened, "9-16"},
        {"MoveDroppedOnTheFirstLineOfItsSelection", dragSelection(twoOn + QStringList{QStringLiteral("cEF:10")}),
         kOpened, kOpened, kOpened, "9-16"},
        // Moved elsewhere, copied or dragged out, the text goes where it is
        // dropped, its line end now the area's, and the lines it leaves join.
        {"MoveDroppedOutsideItsSelection", dragSelection(twoOn + QStringList{QStringLiteral("cEF:22")}),
         QStringLiteral("alpha\r\nbralie\rdevo\r\ncharlta\r\necho\n"), kOpened, kOpened, "22-22"},
        // Undo and redo put back exactly the line ends of both ends of the move.
        {"MoveDroppedOutsideItsSelectionThenUndone",
         dragSelection(twoOn + QStringList{QStringLiteral("cEF:22")}) + QStringList{QStringLiteral("key ctrl+z")},
         kOpened, kOpened, kOpened, "22-22"},
        {"MoveDroppedOutsideItsSelectionThenUndoneAndRedone",
         dragSelection(twoOn + QStringList{QStringLiteral("cEF:22")})
             + QStringList{QStringLiteral("key ctrl+z"), QStringLiteral("key ctrl+shift+z")},
         QStringLiteral("alpha\r\nbralie\rdevo\r\ncharlta\r\necho\n"), kOpened, kOpened, "22-22"},
        {"CopyDroppedInsideItsSelection",
         QStringList{QStringLiteral("keydown ctrl")} + dragSelection(twoOn) + QStringList{QStringLiteral("keyup ctrl")},
         QStringLiteral("alpha\r\nbravo\nchavo\r\ncharrlie\rdelta\r\necho\n"), kOpened, kOpened, "22-22"},
        {"MoveDroppedIntoTheBasicArea", dragSelection(twoOn + QStringList{QStringLiteral("bEF:22")}),
         QStringLiteral("alpha\r\nbralie\rdelta\r\necho\n"),
         QStringLiteral("alpha\r\nbravo\ncharlie\rdevo\r\ncharlta\r\necho\n"), kOpened, "9-9"},
    };
    return cases;
}

class RealXInput : public ::testing::TestWithParam<InputCase> {};

/// The application on an X server of the case's own, with spell checking on,
/// given the input; it must not crash, and the areas hold exactly the texts
/// expected, the C file the C area's.
TEST_P(RealXInput, LeavesTheTextsAsExpected)
{
    const InputCase& c = GetParam();
    ASSERT_FALSE(QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
        << "xdotool is not installed (Debian package xdotool; scripts/install-deps installs it)";
    const testsupport::XServer server;
    ASSERT_TRUE(server.isRunning()) << qPrintable(server.whyNot());
    const QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString file = dir.filePath(QStringLiteral("routine.c"));
    testsupport::writeBytes(file, kOpened.toUtf8());

    // The home and runtime folders are the test program's own (own_home.h).
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    environment.insert(QStringLiteral("DISPLAY"), server.display());
    environment.remove(QStringLiteral("XAUTHORITY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    const testsupport::ProgramRun run =
        testsupport::runToEnd(QStringLiteral(X_INPUT_PROBE_APP), QStringList{file} + c.steps, environment, dir.path());
    ASSERT_TRUE(run.ended) << "the probe did not end";

    EXPECT_FALSE(run.crashed) << "the application crashed";
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.errors, QStringList());
    using testsupport::escaped;
    EXPECT_EQ(run.output, QStringLiteral("cEF: %1\nbEF: %2\nrEF: %3\ncEF cursor: %4\n")
                              .arg(escaped(c.cText), escaped(c.bText), escaped(c.rText), QLatin1String(c.cCursor)));
    EXPECT_EQ(escaped(QString::fromUtf8(testsupport::readBytes(file))), escaped(c.cText));
}

std::string caseName(const ::testing::TestParamInfo<InputCase>& info)
{
    return info.param.name;
}

INSTANTIATE_TEST_SUITE_P(Paste, RealXInput, ::testing::ValuesIn(pasteCases()), caseName);
INSTANTIATE_TEST_SUITE_P(Drag, RealXInput, ::testing::ValuesIn(dragCases()), caseName);

}  // namespace

#endif  // __linux__
