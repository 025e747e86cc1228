#include "app/gui/application.h"
#include "app/gui/menu.h"
#include "app/gui/menu_dispatch.h"
#include "app/gui/menu_view.h"
#include "app/main_menu_bar.h"
#include "converter/twk_win.h"
#include "settings/set_win.h"
#include "tests/test_support.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QPointer>
#include <QTest>
#include <QWindow>

#include <optional>

namespace {

using Kind = gui::MenuItem::Kind;

struct EntryRow {
    const char* name;
    const char* text;
    std::optional<QString> shortcut;
    Kind kind;
};

const std::optional<QString> kNotSet;

const EntryRow kFileRows[] = {
    {"FileNEW", "New", QStringLiteral("Cmd+N"), Kind::Plain},
    {"FileOpen", "Open...", QStringLiteral("Cmd+O"), Kind::Plain},
    {"FileClose", "Close", QStringLiteral("Cmd+W"), Kind::Plain},
    {"UntitledSeparator", "-", kNotSet, Kind::Plain},
    {"FileSave", "Save C code", QStringLiteral("Cmd+S"), Kind::Plain},
    {"FileSaveBASIC", "Save BASIC code", QString(), Kind::Plain},
    {"UntitledSeparator0", "-", kNotSet, Kind::Plain},
    {"FilePref", "Preferences", QStringLiteral("Cmd+;"), Kind::Preferences},
    {"UntitledSeparator1", "-", kNotSet, Kind::Plain},
    {"FileQuit", "&Quit", QStringLiteral("Cmd+Q"), Kind::Quit},
};

const EntryRow kEditRows[] = {
    {"EditUndo", "&Undo", QStringLiteral("Cmd+Z"), Kind::Plain},
    {"EditSeparator1", "-", kNotSet, Kind::Plain},
    {"EditCut", "Cu&t", QStringLiteral("Cmd+X"), Kind::Plain},
    {"EditCopy", "&Copy", QStringLiteral("Cmd+C"), Kind::Plain},
    {"EditPaste", "&Paste", QStringLiteral("Cmd+V"), Kind::Plain},
    {"EditClear", "&Delete", QString(), Kind::Plain},
    {"EditSeparator2", "-", kNotSet, Kind::Plain},
    {"EditSelectAll", "Select &All", QStringLiteral("Cmd+A"), Kind::Plain},
};

struct MenuRow {
    const char* name;
    const char* text;
    const EntryRow* rows;
    std::size_t count;
};

const MenuRow kMenus[] = {
    {"FileMenu", "&File", kFileRows, std::size(kFileRows)},
    {"EditMenu", "&Edit", kEditRows, std::size(kEditRows)},
};

bool hasClass(const gui::MenuItemPtr& item, Kind kind)
{
    switch (kind) {
    case Kind::Preferences: return dynamic_cast<gui::PrefsMenuItem*>(item.get()) != nullptr;
    case Kind::Quit: return dynamic_cast<gui::QuitMenuItem*>(item.get()) != nullptr;
    case Kind::Plain:
        return !dynamic_cast<gui::PrefsMenuItem*>(item.get()) && !dynamic_cast<gui::QuitMenuItem*>(item.get());
    }
    return false;
}

// An application object like the system's: it counts the commands it serves.
class CountingApp : public gui::Application {
public:
    CountingApp()
    {
        setMenuBar(MainMenuBar::shared());
        registerAsAppObject();
        AddMenuHandler(QStringLiteral("FileNEW"), [this] { return ++newCount, true; });
        AddMenuHandler(QStringLiteral("FileOpen"), [this] { return ++openCount, true; });
    }
    int newCount = 0;
    int openCount = 0;
};

// Puts the window in front and waits until the platform says it is.
void bringToFront(gui::Window* window)
{
    window->Show();
    QApplication::setActiveWindow(window);
    testsupport::settle();
    ASSERT_EQ(QApplication::activeWindow(), window);
}

// A key press and release delivered to the focused control as the platform
// delivers one, so that shortcuts and the control's own key handling both take part.
void pressKey(gui::Window* window, Qt::Key key, Qt::KeyboardModifiers modifiers)
{
    QWidget* target = window->focusWidget() ? window->focusWidget() : window;
    QTest::keyClick(target, key, modifiers);
    testsupport::settle();
}

QAction* actionOf(gui::Window* window, const char* name)
{
    gui::MenuBarView* view = window->menuBarView();
    return view ? view->actionFor(QString::fromLatin1(name)) : nullptr;
}

// Opens the menu as the user does before choosing from it, then closes it.
void openMenu(gui::Window* window, const char* menuName)
{
    QMenu* menu = actionOf(window, menuName)->menu();
    menu->popup(QPoint(0, 0));
    testsupport::settle();
    menu->hide();
}

class MenuBarTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        testsupport::closeAllWindows();
        MainMenuBar::release();
    }
};

}  // namespace

TEST_F(MenuBarTest, BuildsTheFileAndEditMenusExactly)
{
    const std::shared_ptr<MainMenuBar> bar = MainMenuBar::shared();
    ASSERT_EQ(bar->children().size(), std::size(kMenus));
    for (std::size_t m = 0; m < std::size(kMenus); ++m) {
        const MenuRow& expected = kMenus[m];
        const gui::MenuItemPtr& menu = bar->children()[m];
        SCOPED_TRACE(expected.name);
        EXPECT_EQ(menu->Name(), QLatin1String(expected.name));
        EXPECT_EQ(menu->Text(), QLatin1String(expected.text));
        EXPECT_EQ(menu->KeyboardShortcut(), std::optional<QString>(QString()));
        EXPECT_TRUE(menu->AutoEnable());
        EXPECT_TRUE(menu->Visible());
        EXPECT_TRUE(hasClass(menu, Kind::Plain));
        EXPECT_EQ(bar->Child(QLatin1String(expected.name)), menu);
        ASSERT_EQ(menu->children().size(), expected.count);
        for (std::size_t i = 0; i < expected.count; ++i) {
            const EntryRow& row = expected.rows[i];
            const gui::MenuItemPtr& item = menu->children()[i];
            SCOPED_TRACE(row.name);
            EXPECT_EQ(item->Name(), QLatin1String(row.name));
            EXPECT_EQ(item->Text(), QLatin1String(row.text));
            EXPECT_EQ(item->KeyboardShortcut(), row.shortcut);
            EXPECT_TRUE(hasClass(item, row.kind));
            EXPECT_EQ(item->kind(), row.kind);
            EXPECT_TRUE(item->AutoEnable());
            EXPECT_TRUE(item->Visible());
            EXPECT_TRUE(item->children().empty());
            // Items sit in their menu, not on the bar itself.
            EXPECT_EQ(bar->Child(QLatin1String(row.name)), nullptr);
            EXPECT_EQ(bar->_Lookup(QLatin1String(row.name)), item);
        }
    }
    EXPECT_EQ(bar->_Lookup(QStringLiteral("FileNew")), nullptr);
}

TEST_F(MenuBarTest, OneInstanceServesTheRunAndEveryConverterWindow)
{
    const std::shared_ptr<MainMenuBar> first = MainMenuBar::shared();
    EXPECT_EQ(MainMenuBar::shared(), first);

    auto* one = gui::Window::make<TWKWin>();
    auto* two = gui::Window::make<TWKWin>();
    EXPECT_EQ(one->installedMenuBar(), first);
    EXPECT_EQ(two->installedMenuBar(), first);
    // The windows share the model, never the widgets that show it.
    ASSERT_NE(one->menuBarView(), nullptr);
    ASSERT_NE(two->menuBarView(), nullptr);
    EXPECT_NE(one->menuBarView(), two->menuBarView());

    testsupport::closeAllWindows();
    auto* later = gui::Window::make<TWKWin>();
    EXPECT_EQ(later->installedMenuBar(), first);
    EXPECT_EQ(first->children().size(), 2u);
}

TEST_F(MenuBarTest, ReleaseUnsetsTheReferenceAndLetsGoOfTheBar)
{
    std::weak_ptr<MainMenuBar> released = MainMenuBar::shared();
    MainMenuBar::release();
    EXPECT_TRUE(released.expired());
    const std::shared_ptr<MainMenuBar> next = MainMenuBar::shared();
    EXPECT_EQ(next->children().size(), 2u);
}

TEST(MenuShortcut, CmdBecomesThePlatformCommandKey)
{
    EXPECT_EQ(gui::portableShortcut(QStringLiteral("Cmd+;")), QStringLiteral("Ctrl+;"));
    EXPECT_EQ(gui::portableShortcut(QStringLiteral("Cmd+Shift+S")), QStringLiteral("Ctrl+Shift+S"));
    EXPECT_EQ(gui::portableShortcut(QString()), QString());
}

TEST_F(MenuBarTest, ConverterWindowShowsTheBarAboveItsUnchangedContent)
{
    auto* window = gui::Window::make<TWKWin>();
    bringToFront(window);
    gui::MenuBarView* view = window->menuBarView();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(window->menuWidget(), view);

    const QList<QAction*> menus = view->actions();
    ASSERT_EQ(menus.size(), qsizetype(std::size(kMenus)));
    for (std::size_t m = 0; m < std::size(kMenus); ++m) {
        const MenuRow& expected = kMenus[m];
        SCOPED_TRACE(expected.name);
        EXPECT_EQ(menus[m]->text(), QLatin1String(expected.text));
        EXPECT_EQ(menus[m]->objectName(), QLatin1String(expected.name));
        QMenu* menu = menus[m]->menu();
        ASSERT_NE(menu, nullptr);
        const QList<QAction*> items = menu->actions();
        ASSERT_EQ(items.size(), qsizetype(expected.count));
        for (std::size_t i = 0; i < expected.count; ++i) {
            const EntryRow& row = expected.rows[i];
            QAction* action = items[i];
            SCOPED_TRACE(row.name);
            EXPECT_EQ(action->objectName(), QLatin1String(row.name));
            EXPECT_EQ(action->isSeparator(), QLatin1String(row.text) == QLatin1String("-"));
            if (!action->isSeparator()) {
                EXPECT_EQ(action->text(), QLatin1String(row.text));
            }
            const QString expectedKeys = gui::portableShortcut(row.shortcut.value_or(QString()));
            EXPECT_EQ(action->shortcut().toString(QKeySequence::PortableText), expectedKeys);
            EXPECT_TRUE(action->isVisible());
            const QAction::MenuRole role = row.kind == Kind::Preferences ? QAction::PreferencesRole
                                           : row.kind == Kind::Quit      ? QAction::QuitRole
                                                                         : QAction::NoRole;
            if (!action->isSeparator()) {
                EXPECT_EQ(action->menuRole(), role);
            }
        }
    }
    EXPECT_EQ(actionOf(window, "FilePref")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Semicolon));

    EXPECT_EQ(window->contentSize(), QSize(600, 550));
    EXPECT_GT(view->height(), 0);
    EXPECT_EQ(window->content()->geometry().top(), view->geometry().bottom() + 1);
    EXPECT_EQ(window->size(), QSize(600, 550 + view->height()));
    const std::pair<QWidget*, QRect> places[] = {
        {window->cEF(), QRect(0, 35, 600, 179)},     {window->rEF(), QRect(0, 426, 600, 104)},
        {window->NewBB(), QRect(5, 6, 50, 22)},      {window->SaveBB1(), QRect(506, 6, 83, 22)},
        {window->PushButton1(), QRect(515, 239, 76, 20)},
    };
    for (const auto& [control, place] : places) {
        SCOPED_TRACE(qPrintable(control->objectName()));
        EXPECT_EQ(control->geometry(), place);
    }
}

TEST_F(MenuBarTest, FileCloseClosesOnlyTheFrontConverterWindow)
{
    CountingApp app;
    QPointer<TWKWin> back = gui::Window::make<TWKWin>();
    QPointer<TWKWin> front = gui::Window::make<TWKWin>();
    bringToFront(back);
    bringToFront(front);

    actionOf(front, "FileClose")->trigger();
    testsupport::settle();
    EXPECT_TRUE(front.isNull());
    ASSERT_FALSE(back.isNull());
    EXPECT_TRUE(back->isOpen());

    // Through the dispatch alone, the front window is the active one.
    bringToFront(back);
    EXPECT_TRUE(gui::dispatchMenuCommand(*MainMenuBar::shared()->_Lookup(QStringLiteral("FileClose"))));
    testsupport::settle();
    EXPECT_TRUE(back.isNull());
}

TEST_F(MenuBarTest, CtrlWClosesTheFrontWindowWithoutAsking)
{
    QPointer<TWKWin> back = gui::Window::make<TWKWin>();
    QPointer<TWKWin> front = gui::Window::make<TWKWin>();
    bringToFront(back);
    bringToFront(front);
    front->cEF()->setPlainText(QStringLiteral("never saved"));
    front->cEF()->setFocus();
    testsupport::settle();

    pressKey(front, Qt::Key_W, Qt::ControlModifier);
    EXPECT_TRUE(front.isNull());
    EXPECT_FALSE(back.isNull());
}

TEST_F(MenuBarTest, FileNewAndOpenReachTheApplicationWhateverIsInFront)
{
    CountingApp app;
    auto* converter = gui::Window::make<TWKWin>();
    bringToFront(converter);
    actionOf(converter, "FileNEW")->trigger();
    actionOf(converter, "FileOpen")->trigger();
    EXPECT_EQ(app.newCount, 1);
    EXPECT_EQ(app.openCount, 1);

    SetWin* settings = SetWin::shared();
    bringToFront(settings);
    ASSERT_NE(settings->menuBarView(), nullptr);
    actionOf(settings, "FileNEW")->trigger();
    EXPECT_EQ(app.newCount, 2);

    // With no window of ours in front, the application still takes it.
    testsupport::closeAllWindows();
    EXPECT_TRUE(gui::dispatchMenuCommand(*MainMenuBar::shared()->_Lookup(QStringLiteral("FileNEW"))));
    EXPECT_EQ(app.newCount, 3);
    EXPECT_FALSE(gui::dispatchMenuCommand(*MainMenuBar::shared()->_Lookup(QStringLiteral("FileClose"))));
}

TEST_F(MenuBarTest, SettingsWindowShowsTheApplicationsBarAndClosesOnlyItself)
{
    CountingApp app;
    QPointer<TWKWin> converter = gui::Window::make<TWKWin>();
    bringToFront(converter);
    QPointer<SetWin> settings = SetWin::shared();
    bringToFront(settings);

    EXPECT_EQ(settings->installedMenuBar(), nullptr);
    ASSERT_NE(settings->menuBarView(), nullptr);
    EXPECT_EQ(settings->menuBarView()->model(), MainMenuBar::shared());
    EXPECT_EQ(settings->contentSize(), QSize(600, 201));

    actionOf(settings, "FileClose")->trigger();
    testsupport::settle();
    EXPECT_TRUE(settings.isNull());
    ASSERT_FALSE(converter.isNull());
    EXPECT_TRUE(converter->isOpen());
}

TEST_F(MenuBarTest, EntriesNothingActsOnAreDisabled)
{
    CountingApp app;
    auto* window = gui::Window::make<TWKWin>();
    bringToFront(window);
    window->cEF()->selectAll();
    // A button has the focus: no text control, so no Edit command can act.
    window->PushButton1()->setFocus();
    testsupport::settle();

    const char* enabled[] = {"FileMenu", "EditMenu", "FileNEW", "FileOpen", "FileClose", "FileQuit"};
    const char* disabled[] = {"FileSave", "FileSaveBASIC", "FilePref", "UntitledSeparator", "EditUndo",
                              "EditCut", "EditCopy", "EditPaste", "EditClear", "EditSelectAll"};
    for (const char* name : enabled) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(actionOf(window, name)->isEnabled());
    }
    for (const char* name : disabled) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(actionOf(window, name)->isEnabled());
    }

    // Focus moving into the text area with its selection enables Copy.
    window->cEF()->setFocus();
    testsupport::settle();
    EXPECT_TRUE(actionOf(window, "EditCopy")->isEnabled());
    EXPECT_TRUE(actionOf(window, "EditCut")->isEnabled());
    EXPECT_FALSE(actionOf(window, "EditUndo")->isEnabled());
}

TEST_F(MenuBarTest, OpeningAMenuRecomputesItsEntries)
{
    auto* window = gui::Window::make<TWKWin>();
    bringToFront(window);
    window->cEF()->setFocus();
    QTextCursor cursor = window->cEF()->textCursor();
    cursor.clearSelection();
    window->cEF()->setTextCursor(cursor);
    testsupport::settle();
    ASSERT_FALSE(actionOf(window, "EditCopy")->isEnabled());

    // A selection made without moving the focus shows once the menu opens.
    window->cEF()->selectAll();
    openMenu(window, "EditMenu");
    EXPECT_TRUE(actionOf(window, "EditCopy")->isEnabled());
}

TEST_F(MenuBarTest, CtrlCInATextAreaCopiesToTheClipboard)
{
    auto* window = gui::Window::make<TWKWin>();
    bringToFront(window);
    QApplication::clipboard()->clear();
    window->cEF()->setPlainText(QStringLiteral("int16_t usr_a(void)\n{\n\treturn 1;\n}"));
    window->cEF()->setFocus();
    window->cEF()->selectAll();
    testsupport::settle();

    pressKey(window, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("int16_t usr_a(void)\n{\n\treturn 1;\n}"));
}

namespace {

struct EditCase {
    const char* command;
    bool inTextArea;
    const char* textAfter;
    const char* clipboardAfter;
};

// Each starts from "abc def" with "def" selected and "clip" on the clipboard.
const EditCase kEditCases[] = {
    {"EditCopy", false, "abc def", "def"},   {"EditCut", false, "abc ", "def"},
    {"EditClear", false, "abc ", "clip"},    {"EditPaste", false, "abc clip", "clip"},
    {"EditCopy", true, "abc def", "def"},    {"EditCut", true, "abc ", "def"},
    {"EditClear", true, "abc ", "clip"},     {"EditPaste", true, "abc clip", "clip"},
};

}  // namespace

TEST_F(MenuBarTest, EditEntriesActOnTheFocusedTextControl)
{
    for (const EditCase& c : kEditCases) {
        SCOPED_TRACE(std::string(c.command) + (c.inTextArea ? " in the text area" : " in the text field"));
        auto* window = gui::Window::make<TWKWin>();
        bringToFront(window);
        QApplication::clipboard()->setText(QStringLiteral("clip"));
        std::function<QString()> text;
        if (c.inTextArea) {
            gui::TextArea* area = window->cEF();
            area->setPlainText(QStringLiteral("abc def"));
            area->setFocus();
            QTextCursor cursor = area->textCursor();
            cursor.setPosition(4);
            cursor.setPosition(7, QTextCursor::KeepAnchor);
            area->setTextCursor(cursor);
            text = [area] { return area->toPlainText(); };
        } else {
            gui::TextField* field = window->aOpt();
            field->setText(QStringLiteral("abc def"));
            field->setFocus();
            field->setSelection(4, 3);
            text = [field] { return field->text(); };
        }
        openMenu(window, "EditMenu");

        QAction* action = actionOf(window, c.command);
        ASSERT_TRUE(action->isEnabled());
        action->trigger();
        EXPECT_EQ(text(), QLatin1String(c.textAfter));
        EXPECT_EQ(QApplication::clipboard()->text(), QLatin1String(c.clipboardAfter));
        testsupport::closeAllWindows();
    }
}

TEST_F(MenuBarTest, SelectAllThenPasteFromTheMenuReplacesEveryLine)
{
    auto* window = gui::Window::make<TWKWin>();
    bringToFront(window);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    gui::TextArea* area = window->cEF();
    // The first line ends in a break that no typed one takes; the area's is LF.
    area->setText(QStringLiteral("p\u2029a\nb\rc"));
    area->setFocus();
    // Select All leaves the cursor where it is, at the end: only the selection changes.
    area->moveCursor(QTextCursor::End);
    window->repaint();
    QApplication::clipboard()->setText(QStringLiteral("p\nq"));
    actionOf(window, "EditSelectAll")->trigger();
    openMenu(window, "EditMenu");
    actionOf(window, "EditPaste")->trigger();
    window->repaint();
    EXPECT_EQ(area->Text(), QStringLiteral("p\nq"));
}

TEST_F(MenuBarTest, UndoAndSelectAllInAComboBoxsText)
{
    auto* window = gui::Window::make<TWKWin>();
    bringToFront(window);
    gui::ComboBox* combo = window->sOpt();
    combo->setFocus();
    combo->lineEdit()->selectAll();
    combo->lineEdit()->insert(QStringLiteral("typed"));
    testsupport::settle();
    ASSERT_EQ(combo->currentText(), QStringLiteral("typed"));

    actionOf(window, "EditSelectAll")->trigger();
    EXPECT_EQ(combo->lineEdit()->selectedText(), QStringLiteral("typed"));
    openMenu(window, "EditMenu");
    ASSERT_TRUE(actionOf(window, "EditUndo")->isEnabled());
    actionOf(window, "EditUndo")->trigger();
    EXPECT_NE(combo->currentText(), QStringLiteral("typed"));
}

TEST_F(MenuBarTest, ReadOnlyTextOffersOnlyCopyAndSelectAll)
{
    auto* window = gui::Window::make<TWKWin>();
    bringToFront(window);
    gui::TextArea* log = window->rEF();
    log->setReadOnly(true);
    log->setPlainText(QStringLiteral("cmd line"));
    QApplication::clipboard()->setText(QStringLiteral("clip"));
    log->setFocus();
    log->selectAll();
    openMenu(window, "EditMenu");
    EXPECT_TRUE(actionOf(window, "EditCopy")->isEnabled());
    EXPECT_TRUE(actionOf(window, "EditSelectAll")->isEnabled());
    EXPECT_FALSE(actionOf(window, "EditCut")->isEnabled());
    EXPECT_FALSE(actionOf(window, "EditPaste")->isEnabled());
    EXPECT_FALSE(actionOf(window, "EditClear")->isEnabled());
}

TEST_F(MenuBarTest, QuitClosesEveryWindow)
{
    QPointer<TWKWin> one = gui::Window::make<TWKWin>();
    QPointer<TWKWin> two = gui::Window::make<TWKWin>();
    bringToFront(one);
    bringToFront(two);
    EXPECT_TRUE(actionOf(two, "FileQuit")->isEnabled());
    actionOf(two, "FileQuit")->trigger();
    testsupport::settle();
    EXPECT_TRUE(one.isNull());
    EXPECT_TRUE(two.isNull());
}

TEST_F(MenuBarTest, ConverterWindowAccessorsYieldTheBarsEntries)
{
    auto* window = gui::Window::make<TWKWin>();
    const std::shared_ptr<MainMenuBar> bar = MainMenuBar::shared();
    const std::pair<const char*, gui::MenuItemPtr> plain[] = {
        {"EditMenu", window->EditMenu()},
        {"EditSelectAll", window->EditSelectAll()},
        {"EditSeparator2", window->EditSeparator2()},
        {"EditClear", window->EditClear()},
        {"EditPaste", window->EditPaste()},
        {"EditCopy", window->EditCopy()},
        {"EditCut", window->EditCut()},
        {"EditSeparator1", window->EditSeparator1()},
        {"EditUndo", window->EditUndo()},
        {"FileMenu", window->FileMenu()},
        {"UntitledSeparator1", window->UntitledSeparator1()},
        {"UntitledSeparator0", window->UntitledSeparator0()},
        {"FileSaveBASIC", window->FileSaveBASIC()},
        {"FileSave", window->FileSave()},
        {"UntitledSeparator", window->UntitledSeparator()},
        {"FileClose", window->FileClose()},
        {"FileOpen", window->FileOpen()},
        {"FileNEW", window->FileNEW()},
    };
    for (const auto& [name, item] : plain) {
        SCOPED_TRACE(name);
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(item, bar->_Lookup(QLatin1String(name)));
        EXPECT_TRUE(hasClass(item, Kind::Plain));
    }
    EXPECT_EQ(window->FileMenu(), bar->children().at(0));
    EXPECT_EQ(window->EditMenu(), bar->children().at(1));

    const std::shared_ptr<gui::QuitMenuItem> quit = window->FileQuit();
    const std::shared_ptr<gui::PrefsMenuItem> prefs = window->FilePref();
    ASSERT_NE(quit, nullptr);
    ASSERT_NE(prefs, nullptr);
    EXPECT_EQ(quit, bar->_Lookup(QStringLiteral("FileQuit")));
    EXPECT_EQ(prefs, bar->_Lookup(QStringLiteral("FilePref")));
}
