#include "converter/command_lines.h"
#include "converter/twk_win.h"

#include "app/gui/folder_item.h"
#include "app/gui/runtime.h"
#include "settings/tool_folders.h"
#include "tests/test_support.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>

#include <functional>
#include <vector>

namespace {

const QString kSample = QStringLiteral(
    "#include <stdint.h>\r\rint16_t usr_sample(int16_t val, void *mem)\r{\r  return -2 * val;\r}\r");

QStringList rowsOf(const QComboBox* box)
{
    QStringList rows;
    for (int i = 0; i < box->count(); ++i)
        rows << box->itemText(i);
    return rows;
}

QStringList numbers(int first, int last)
{
    QStringList rows;
    for (int n = first; n <= last; ++n)
        rows << QString::number(n);
    return rows;
}

QWidget* control(const TWKWin* window, const char* name)
{
    return window->_ControlByName<QWidget>(QString::fromLatin1(name));
}

/// Everything a freshly built converter window shows, checked in one place so
/// that a second window can be held to the same defaults.
void expectInitialState(const TWKWin* w)
{
    EXPECT_EQ(w->Title(), QStringLiteral("Kestrova_tarnwick"));

    EXPECT_EQ(w->cEF()->Text(), kSample);
    EXPECT_EQ(w->cEF()->Text().size(), 87);
    EXPECT_FALSE(w->cEF()->Text().contains(u'\n'));
    EXPECT_EQ(w->bEF()->Text(), QString());
    EXPECT_EQ(w->rEF()->Text(), QString());

    EXPECT_EQ(w->aOpt()->Text(), QStringLiteral("0x700"));
    EXPECT_EQ(w->aOpt()->placeholderText(), QStringLiteral("0x700"));

    EXPECT_EQ(rowsOf(w->oOpt()), (QStringList{"bin", "dec", "hex"}));
    EXPECT_EQ(w->oOpt()->ListIndex(), 2);
    EXPECT_EQ(w->oOpt()->Text(), QStringLiteral("hex"));
    EXPECT_FALSE(w->oOpt()->isEditable());

    EXPECT_EQ(rowsOf(w->sOpt()),
              (QStringList{"1", "2", "3", "4", "5", "10", "20", "50", "100", "150", "200", "400", "500", "1000"}));
    EXPECT_EQ(w->sOpt()->ListIndex(), 8);
    EXPECT_EQ(w->sOpt()->Text(), QStringLiteral("100"));

    EXPECT_EQ(rowsOf(w->dOpt()), (QStringList{"1", "2", "3", "4", "5", "10", "20"}));
    EXPECT_EQ(w->dOpt()->ListIndex(), 5);
    EXPECT_EQ(w->dOpt()->Text(), QStringLiteral("10"));

    EXPECT_EQ(rowsOf(w->cOpt()), numbers(1, 20));
    EXPECT_EQ(w->cOpt()->ListIndex(), 7);
    EXPECT_EQ(w->cOpt()->Text(), QStringLiteral("8"));

    for (const gui::ComboBox* box : {w->sOpt(), w->dOpt(), w->cOpt()}) {
        EXPECT_TRUE(box->isEditable());
        EXPECT_EQ(box->completer(), nullptr) << qPrintable(box->objectName());
    }

    EXPECT_TRUE(w->CSaveCB()->Value());
    EXPECT_FALSE(w->BSaveCB()->Value());
}

/// One control's place at the layout size and after the content area was
/// resized to each of the sizes of kSizes.
struct GeometryRow {
    const char* name;
    QRect at600x550;
    QRect at740x610;
    QRect at520x470;
    QRect at64x64;
};

// Enlarged, then shrunk to the smallest size, then to a middle one, then back:
// the places must not drift with the path taken.
const QSize kSizes[] = {{740, 610}, {64, 64}, {520, 470}, {600, 550}};

const GeometryRow kGeometry[] = {
    {"Label1", {27, 217, 62, 20}, {27, 277, 62, 20}, {27, 137, 62, 20}, {27, -269, 62, 20}},
    {"Label2", {120, 217, 74, 20}, {120, 277, 74, 20}, {120, 137, 74, 20}, {120, -269, 74, 20}},
    {"Label3", {217, 217, 95, 20}, {217, 277, 95, 20}, {217, 137, 95, 20}, {217, -269, 95, 20}},
    {"Label4", {298, 217, 76, 20}, {298, 277, 76, 20}, {298, 137, 76, 20}, {298, -269, 76, 20}},
    {"Label5", {390, 217, 95, 20}, {390, 277, 95, 20}, {390, 137, 95, 20}, {390, -269, 95, 20}},
    {"aOpt", {217, 239, 60, 22}, {217, 299, 60, 22}, {217, 159, 60, 22}, {217, -247, 60, 22}},
    {"oOpt", {301, 239, 60, 20}, {301, 299, 60, 20}, {301, 159, 60, 20}, {301, -247, 60, 20}},
    {"sOpt", {28, 239, 60, 20}, {28, 299, 60, 20}, {28, 159, 60, 20}, {28, -247, 60, 20}},
    {"dOpt", {122, 239, 60, 20}, {122, 299, 60, 20}, {122, 159, 60, 20}, {122, -247, 60, 20}},
    {"cOpt", {395, 239, 60, 20}, {395, 299, 60, 20}, {395, 159, 60, 20}, {395, -247, 60, 20}},
    {"PushButton1", {515, 239, 76, 20}, {655, 299, 76, 20}, {435, 159, 76, 20}, {-21, -247, 76, 20}},
    {"cEF", {0, 35, 600, 179}, {0, 35, 740, 239}, {0, 35, 520, 99}, {0, 35, 64, 0}},
    {"bEF", {0, 274, 600, 140}, {0, 334, 740, 140}, {0, 194, 520, 140}, {0, -212, 64, 140}},
    {"rEF", {0, 426, 600, 104}, {0, 486, 740, 104}, {0, 346, 520, 104}, {0, -60, 64, 104}},
    {"NewBB", {5, 6, 50, 22}, {5, 6, 50, 22}, {5, 6, 50, 22}, {5, 6, 50, 22}},
    {"OpenBB", {58, 6, 50, 22}, {58, 6, 50, 22}, {58, 6, 50, 22}, {58, 6, 50, 22}},
    {"SaveBB", {121, 6, 50, 22}, {121, 6, 50, 22}, {121, 6, 50, 22}, {121, 6, 50, 22}},
    {"CSaveCB", {178, 7, 36, 20}, {178, 7, 36, 20}, {178, 7, 36, 20}, {178, 7, 36, 20}},
    {"BSaveCB", {219, 7, 60, 20}, {219, 7, 60, 20}, {219, 7, 60, 20}, {219, 7, 60, 20}},
    {"SaveBB1", {506, 6, 83, 22}, {646, 6, 83, 22}, {426, 6, 83, 22}, {-30, 6, 83, 22}},
};

QRect expectedAt(const GeometryRow& row, QSize size)
{
    if (size == QSize(740, 610))
        return row.at740x610;
    if (size == QSize(520, 470))
        return row.at520x470;
    if (size == QSize(64, 64))
        return row.at64x64;
    return row.at600x550;
}

/// Resizes the window so that its content area gets the size, as a user's drag would.
void resizeContentTo(TWKWin* window, QSize size)
{
    window->resize(size + (window->size() - window->contentSize()));
    QApplication::processEvents();
}

class ConverterWindow : public ::testing::Test {
protected:
    void TearDown() override
    {
        gui::setBeepHandlerForTesting({});
        gui::Date::setClockForTesting({});
        testsupport::unsetToolFolders();
        testsupport::closeAllWindows();
    }

    TWKWin* shownWindow()
    {
        auto* window = gui::Window::make<TWKWin>();
        window->Show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window));
        return window;
    }

    /// Stand-ins for the compiler, objcopy and python that make each output
    /// file, the last one holding a known BASIC text; the globals point at them.
    void installStandInTools()
    {
        ASSERT_TRUE(tools_.isValid());
        const QString bin = tools_.filePath(QStringLiteral("bin"));
        const QString scripts = tools_.filePath(QStringLiteral("scripts"));
        testsupport::writeScript(bin + QStringLiteral("/arm-none-eabi-gcc"),
                                 "while [ $# -gt 0 ]; do [ \"$1\" = -o ] && : > \"$2\"; shift; done\n");
        testsupport::writeScript(bin + QStringLiteral("/arm-none-eabi-objcopy"),
                                 "for a; do out=$a; done; : > \"$out\"\n");
        testsupport::writeScript(bin + QStringLiteral("/python"),
                                 "for a; do out=$a; done; printf '10 DATA 1\\n' > \"$out\"\n");
        testsupport::writeBytes(scripts + QStringLiteral("/tarnwick.py"), "");
        Module1::gArmNoneFolder = gui::FolderItem::fromPath(bin);
        Module1::gPythonFolder = gui::FolderItem::fromPath(bin);
        Module1::gTarnwickFolder = gui::FolderItem::fromPath(scripts);
        gui::Date::setClockForTesting([] { return 1700000000.25; });
    }

    /// The log that a successful run with these option texts writes.
    QString expectedLog(const ConversionOptions& options) const
    {
        const QString bin = Module1::gArmNoneFolder->ShellPath() + u'/';
        const QString scripts = Module1::gTarnwickFolder->ShellPath() + u'/';
        const QString base = QStringLiteral("1700000000");
        return u'>' + compileCommand(bin, scripts, base) + gui::EndOfLine() + u'>'
               + extractCommand(bin, scripts, base) + gui::EndOfLine() + u'>'
               + convertCommand(bin, scripts, base, options) + gui::EndOfLine();
    }

    QTemporaryDir tools_;
};

TEST_F(ConverterWindow, NewWindowShowsItsDefaults)
{
    TWKWin* w = gui::Window::make<TWKWin>();
    expectInitialState(w);

    EXPECT_EQ(w->Label1()->Text(), QStringLiteral("-s <行番号>"));
    EXPECT_EQ(w->Label2()->Text(), QStringLiteral("-d <行増分>"));
    EXPECT_EQ(w->Label3()->Text(), QStringLiteral("-a <開始>"));
    EXPECT_EQ(w->Label4()->Text(), QStringLiteral("-o {出力形式}"));
    EXPECT_EQ(w->Label5()->Text(), QStringLiteral("-c <1行データ数>"));
    EXPECT_EQ(w->PushButton1()->Caption(), QStringLiteral("Convert"));
    EXPECT_EQ(w->NewBB()->Caption(), QStringLiteral("New"));
    EXPECT_EQ(w->OpenBB()->Caption(), QStringLiteral("Open"));
    EXPECT_EQ(w->SaveBB()->Caption(), QStringLiteral("Save"));
    EXPECT_EQ(w->SaveBB1()->Caption(), QStringLiteral("Preferences"));
    EXPECT_EQ(w->CSaveCB()->text(), QStringLiteral("C"));
    EXPECT_EQ(w->BSaveCB()->text(), QStringLiteral("BASIC"));

    EXPECT_FALSE(w->PushButton1()->isDefault());
    EXPECT_FALSE(w->PushButton1()->autoDefault());
    for (const gui::TextArea* area : {w->cEF(), w->bEF(), w->rEF()}) {
        SCOPED_TRACE(qPrintable(area->objectName()));
        EXPECT_TRUE(area->AutomaticallyCheckSpelling());
        EXPECT_TRUE(area->tabChangesFocus());
        EXPECT_FALSE(area->isReadOnly());
        EXPECT_EQ(area->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    }
    EXPECT_FALSE(w->aOpt()->isReadOnly());
    EXPECT_EQ(w->aOpt()->echoMode(), QLineEdit::Normal);

    // An emptied start-address field shows its cue, but its text is empty.
    w->aOpt()->clear();
    EXPECT_EQ(w->aOpt()->Text(), QString());
    EXPECT_EQ(w->aOpt()->placeholderText(), QStringLiteral("0x700"));

    EXPECT_EQ(w->mCFile, nullptr);
    EXPECT_EQ(w->mBFile, nullptr);
}

TEST_F(ConverterWindow, ControlsStandAtTheirPlacesInA600x550Content)
{
    TWKWin* w = gui::Window::make<TWKWin>();
    EXPECT_EQ(w->contentSize(), QSize(600, 550));
    EXPECT_EQ(w->content()->children().size(), std::size(kGeometry));
    for (const GeometryRow& row : kGeometry) {
        SCOPED_TRACE(row.name);
        QWidget* c = control(w, row.name);
        EXPECT_EQ(c->parentWidget(), w->content());
        EXPECT_EQ(c->geometry(), row.at600x550);
        EXPECT_EQ(c->font().pixelSize(), 11);
        EXPECT_TRUE(c->isEnabled());
    }

    w->Show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
    EXPECT_EQ(w->contentSize(), QSize(600, 550));
    for (const GeometryRow& row : kGeometry) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(control(w, row.name)->geometry(), row.at600x550);
        EXPECT_TRUE(control(w, row.name)->isVisible());
    }
}

TEST_F(ConverterWindow, ControlsFollowTheirLockedEdgesWhenTheWindowIsResized)
{
    TWKWin* w = shownWindow();
    for (const QSize size : kSizes) {
        SCOPED_TRACE(qPrintable(QStringLiteral("content %1x%2").arg(size.width()).arg(size.height())));
        resizeContentTo(w, size);
        ASSERT_EQ(w->contentSize(), size);
        for (const GeometryRow& row : kGeometry) {
            SCOPED_TRACE(row.name);
            EXPECT_EQ(control(w, row.name)->geometry(), expectedAt(row, size));
        }
    }
}

TEST_F(ConverterWindow, PlaceAfterResizeFollowsEachCombinationOfLocks)
{
    using namespace gui;
    struct Case {
        unsigned locks;
        int dx, dy;
        QRect expected;
    };
    const gui::Place base{10, 20, 100, 50, 0};
    const Case cases[] = {
        {0, 30, 40, {10, 20, 100, 50}},
        {LockLeft | LockTop, 30, 40, {10, 20, 100, 50}},
        {LockRight, 30, 40, {40, 20, 100, 50}},
        {LockBottom, 30, 40, {10, 60, 100, 50}},
        {LockLeft | LockRight, 30, 40, {10, 20, 130, 50}},
        {LockTop | LockBottom, 30, 40, {10, 20, 100, 90}},
        {LockLeft | LockTop | LockRight | LockBottom, -30, -40, {10, 20, 70, 10}},
        {LockRight | LockBottom, -30, -40, {-20, -20, 100, 50}},
        // A stretching control shrunk past nothing keeps a size of zero.
        {LockLeft | LockTop | LockRight | LockBottom, -130, -90, {10, 20, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "locks " << c.locks << " by " << c.dx << "," << c.dy);
        gui::Place place = base;
        place.locks = c.locks;
        EXPECT_EQ(gui::placeAfterResize(place, c.dx, c.dy), c.expected);
    }
}

TEST_F(ConverterWindow, ContentSizeStaysBetween64And32000)
{
    TWKWin* w = shownWindow();
    EXPECT_EQ(w->content()->minimumSize(), QSize(64, 64));
    EXPECT_EQ(w->content()->maximumSize(), QSize(32000, 32000));
    const QSize chrome = w->size() - w->contentSize();  // what the window draws besides its content

    w->resize(10, 10);
    QApplication::processEvents();
    EXPECT_EQ(w->contentSize(), QSize(64, 64));
    EXPECT_EQ(w->size(), QSize(64, 64) + chrome);

    // Hidden, so that no 32000-pixel backing store is painted.
    w->hide();
    w->resize(40000, 40000);
    EXPECT_EQ(w->size(), QSize(32000, 32000) + chrome);
    EXPECT_EQ(w->maximumSize(), QSize(32000, 32000) + chrome);
}

TEST_F(ConverterWindow, TabVisitsTheControlsInTheirKeyboardOrder)
{
    const QStringList order = {"aOpt",   "oOpt",   "sOpt",   "dOpt",    "cOpt",    "PushButton1", "cEF", "bEF",
                               "rEF",    "NewBB",  "OpenBB", "SaveBB",  "CSaveCB", "BSaveCB",     "SaveBB1"};
    TWKWin* w = shownWindow();
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w));

    // The focus chain, as Qt's own Tab handling walks it: only widgets that
    // take focus by Tab, proxies resolved to the widget they stand for.
    QStringList chain;
    QWidget* start = w->aOpt();
    QWidget* next = start;
    do {
        if ((next->focusPolicy() & Qt::TabFocus) && next->isVisibleTo(w) && next->isEnabled()
            && !next->focusProxy())
            chain << next->objectName();
        next = next->nextInFocusChain();
    } while (next != start && chain.size() < 40);
    EXPECT_EQ(chain, order);

    // The keyboard: Tab from each control lands on the next, and the last
    // wraps round to the first.
    w->aOpt()->setFocus(Qt::TabFocusReason);
    for (int i = 0; i <= order.size(); ++i) {
        QWidget* focused = QApplication::focusWidget();
        ASSERT_NE(focused, nullptr);
        EXPECT_EQ(focused->objectName(), order.at(i % order.size())) << "after " << i << " Tab presses";
        QTest::keyClick(focused, Qt::Key_Tab);
    }
}

TEST_F(ConverterWindow, TabInATextAreaMovesOnAndInsertsNoTab)
{
    TWKWin* w = shownWindow();
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w));
    const struct {
        gui::TextArea* area;
        const char* next;
    } cases[] = {{w->cEF(), "bEF"}, {w->bEF(), "rEF"}, {w->rEF(), "NewBB"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(qPrintable(c.area->objectName()));
        const QString before = c.area->Text();
        c.area->setFocus(Qt::OtherFocusReason);
        ASSERT_EQ(QApplication::focusWidget(), c.area);
        QTest::keyClick(c.area, Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget()->objectName(), QString::fromLatin1(c.next));
        EXPECT_EQ(c.area->Text(), before);
        EXPECT_FALSE(c.area->Text().contains(u'\t'));
    }
}

TEST_F(ConverterWindow, TypedComboTextBecomesTheOptionUnchangedAndAddsNoRow)
{
    TWKWin* w = shownWindow();
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w));
    const struct {
        gui::ComboBox* box;
        const char* typed;
    } cases[] = {
        {w->sOpt(), "777"}, {w->sOpt(), "abc"}, {w->dOpt(), "777"}, {w->dOpt(), "abc"},
        {w->cOpt(), "777"}, {w->cOpt(), "abc"}, {w->cOpt(), "10"},  {w->sOpt(), "5 0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << qPrintable(c.box->objectName()) << " <- " << c.typed);
        const QStringList rowsBefore = rowsOf(c.box);
        c.box->setFocus(Qt::TabFocusReason);
        QLineEdit* edit = c.box->lineEdit();
        ASSERT_NE(edit, nullptr);
        edit->selectAll();
        QTest::keyClicks(edit, QString::fromLatin1(c.typed));
        EXPECT_EQ(c.box->Text(), QString::fromLatin1(c.typed));
        QTest::keyClick(edit, Qt::Key_Return);
        EXPECT_EQ(c.box->Text(), QString::fromLatin1(c.typed));
        EXPECT_EQ(rowsOf(c.box), rowsBefore);
    }
}

TEST_F(ConverterWindow, OptionFieldsTakeATextOfAnyLength)
{
    TWKWin* w = shownWindow();
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w));
    // Longer than the 32,767 characters that a QLineEdit keeps by default.
    const QString pasted = QStringLiteral("0123456789").repeated(4000);
    const struct {
        const char* name;
        QLineEdit* edit;
        std::function<QString()> text;
    } cases[] = {
        {"aOpt", w->aOpt(), [w] { return w->aOpt()->Text(); }},
        {"sOpt", w->sOpt()->lineEdit(), [w] { return w->sOpt()->Text(); }},
        {"dOpt", w->dOpt()->lineEdit(), [w] { return w->dOpt()->Text(); }},
        {"cOpt", w->cOpt()->lineEdit(), [w] { return w->cOpt()->Text(); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_NE(c.edit, nullptr);
        c.edit->setFocus(Qt::TabFocusReason);
        c.edit->selectAll();
        QApplication::clipboard()->setText(pasted);
        QTest::keySequence(c.edit, QKeySequence::Paste);
        QTest::keyClick(c.edit, '!');
        const QString text = c.text();
        EXPECT_EQ(text.size(), pasted.size() + 1);
        EXPECT_TRUE(text == pasted + u'!') << "pasted and then typed, the whole text is kept";
    }
}

TEST_F(ConverterWindow, TextDroppedOnALinePartlyBelowTheViewIsInserted)
{
    // A line of a Japanese character, as a comment in Japanese would be, below
    // thirty empty lines; the window is made a pixel taller at a time, so that
    // for some height and scroll the line stands partly below the view.
    const QString text = QString(30, u'\n') + QStringLiteral("\u304B\n\n\n");
    const int at = 30;  // every line end is one LF: positions in the area are positions in the text
    TWKWin* window = shownWindow();
    gui::TextArea* area = window->cEF();
    ASSERT_TRUE(area->AutomaticallyCheckSpelling());
    int partlyBelow = 0;
    for (int taller = 0; taller < 20; ++taller) {
        resizeContentTo(window, QSize(600, 550 + taller));
        for (int scroll = 0;; ++scroll) {
            area->setText(text);
            window->repaint();
            area->verticalScrollBar()->setValue(scroll);
            if (area->verticalScrollBar()->value() != scroll)
                break;
            window->repaint();
            QTextCursor line(area->document());
            line.setPosition(at);
            const QRect where = area->cursorRect(line);
            const int bottom = area->viewport()->height();
            if (where.top() >= bottom || where.bottom() < bottom)
                continue;
            ++partlyBelow;
            SCOPED_TRACE(testing::Message() << taller << " pixels taller, scrolled to " << scroll);
            // At the line's start, before the character.
            const QPoint point(0, bottom - 1);
            ASSERT_EQ(area->cursorForPosition(point).position(), at);
            testsupport::dropText(area->viewport(), point, QStringLiteral("b"));
            window->repaint();
            EXPECT_EQ(area->Text(), QString(text).insert(at, u'b'));
            EXPECT_TRUE(area->viewport()->rect().contains(area->cursorRect()));
        }
    }
    EXPECT_GT(partlyBelow, 0) << "no height and scroll put the line partly below the view";
}

TEST_F(ConverterWindow, TitleBarHasCloseMinimiseAndMaximiseButNoFullScreenButton)
{
    TWKWin* w = shownWindow();
    // CustomizeWindowHint too: without it macOS offers full screen whatever the other flags say.
    EXPECT_EQ(w->windowFlags(), Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                                    | Qt::WindowCloseButtonHint | Qt::WindowMinimizeButtonHint
                                    | Qt::WindowMaximizeButtonHint);
}

TEST_F(ConverterWindow, ReturnAndEscapeInTheFieldsPressNoButton)
{
    TWKWin* w = shownWindow();
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w));
    int presses = 0;
    for (QAbstractButton* button : std::initializer_list<QAbstractButton*>{
             w->PushButton1(), w->NewBB(), w->OpenBB(), w->SaveBB(), w->SaveBB1()}) {
        QObject::connect(button, &QAbstractButton::pressed, [&presses] { ++presses; });
        QObject::connect(button, &QAbstractButton::clicked, [&presses] { ++presses; });
    }
    const std::vector<QWidget*> fields = {w->aOpt(), w->oOpt(), w->sOpt(), w->dOpt(), w->cOpt(),
                                          w->cEF(),  w->bEF(),  w->rEF(),  w->CSaveCB(), w->PushButton1()};
    for (QWidget* field : fields) {
        SCOPED_TRACE(qPrintable(field->objectName()));
        field->setFocus(Qt::TabFocusReason);
        ASSERT_EQ(QApplication::focusWidget(), field);
        for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape})
            QTest::keyClick(field, key);
        QApplication::processEvents();
        EXPECT_EQ(presses, 0);
    }
    EXPECT_EQ(QApplication::topLevelWidgets().count(w), 1);
}

TEST_F(ConverterWindow, TwoWindowsKeepTheirOwnStateAndButtons)
{
    installStandInTools();
    int beeps = 0;
    gui::setBeepHandlerForTesting([&beeps] { ++beeps; });

    TWKWin* a = shownWindow();
    TWKWin* b = shownWindow();
    ASSERT_NE(a, b);
    EXPECT_NE(a->cEF(), b->cEF());

    // Changing one window leaves the other as it was built.
    a->aOpt()->setText(QStringLiteral("0x800"));
    a->oOpt()->setListIndex(0);
    a->sOpt()->setEditText(QStringLiteral("5"));
    a->dOpt()->setListIndex(0);
    a->cOpt()->setEditText(QStringLiteral("16"));
    a->CSaveCB()->setValue(false);
    a->BSaveCB()->setValue(true);
    a->bEF()->setText(QStringLiteral("typed by hand"));
    expectInitialState(b);

    // A new window after that starts from the defaults, not from a's values.
    TWKWin* c = shownWindow();
    expectInitialState(c);
    c->Close();

    // Convert with an empty C text in a beeps and touches neither window's areas.
    a->cEF()->setText(QString());
    QTest::mouseClick(a->PushButton1(), Qt::LeftButton);
    EXPECT_EQ(beeps, 1);
    EXPECT_EQ(a->bEF()->Text(), QStringLiteral("typed by hand"));
    EXPECT_EQ(a->rEF()->Text(), QString());
    expectInitialState(b);

    // Convert in b runs with b's options and fills only b's areas.
    QTest::mouseClick(b->PushButton1(), Qt::LeftButton);
    EXPECT_EQ(beeps, 1);
    EXPECT_EQ(b->rEF()->Text(), expectedLog({"0x700", "100", "10", "hex", "8"}));
    EXPECT_EQ(b->bEF()->Text(), QStringLiteral("10 DATA 1\n"));
    EXPECT_EQ(a->bEF()->Text(), QStringLiteral("typed by hand"));
    EXPECT_EQ(a->rEF()->Text(), QString());

    // Convert in a, with its own C text and options, leaves b's result alone.
    const QString bLog = b->rEF()->Text();
    a->cEF()->setText(QStringLiteral("int x;\r"));
    QTest::mouseClick(a->PushButton1(), Qt::LeftButton);
    EXPECT_EQ(a->rEF()->Text(), expectedLog({"0x800", "5", "1", "bin", "16"}));
    EXPECT_EQ(a->bEF()->Text(), QStringLiteral("10 DATA 1\n"));
    EXPECT_EQ(b->rEF()->Text(), bLog);
    EXPECT_EQ(b->cEF()->Text(), kSample);
}

}  // namespace
