// What the start-up benchmark measures the application against: the converter
// window's menu bar and twenty controls built directly on Qt, without the
// application's layer, probed the same way as the application. Like the
// application, it loads the spelling dictionary in the background as its C
// area is made and holds it until it ends, so that its memory counts the
// dictionary too.

#include "bench/show_probe.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMainWindow>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>

#include <nuspell/dictionary.hxx>
#include <nuspell/finder.hxx>

#include <future>
#include <optional>

namespace {

void installProbe()
{
    QCoreApplication::instance()->installEventFilter(new bench::ShownProbe([](const QWidget*) { return true; }));
}

/// The dictionary the application's spell checker takes, found the same way:
/// hunspell's for the user's language, else en_US; none when neither is there.
std::optional<nuspell::Dictionary> loadDictionary()
{
    std::vector<std::filesystem::path> folders;
    nuspell::append_default_dir_paths(folders);
    for (const QString& name : {QLocale::system().name(), QStringLiteral("en_US")}) {
        auto aff = nuspell::search_dirs_for_one_dict(folders, name.toStdString());
        if (aff.empty())
            continue;
        try {
            nuspell::Dictionary dictionary;
            dictionary.load_aff_dic(aff.replace_extension(".aff"));
            return dictionary;
        } catch (const std::exception&) {
            // A damaged dictionary is no dictionary: try the next one.
        }
    }
    return std::nullopt;
}

// The converter window's content as plain Qt widgets at the same places. The
// dictionary starts loading when the C area is made, as in the application.
void buildByHand(QMainWindow& window, std::future<std::optional<nuspell::Dictionary>>& dictionary)
{
    const char* file[] = {"New", "Open...", "Close", "-", "Save C code", "Save BASIC code", "-", "Preferences", "-", "&Quit"};
    const char* edit[] = {"&Undo", "-", "Cu&t", "&Copy", "&Paste", "&Delete", "-", "Select &All"};
    auto fill = [](QMenu* menu, const auto& texts) {
        for (const char* text : texts) {
            if (text[0] == '-')
                menu->addSeparator();
            else
                menu->addAction(QString::fromUtf8(text))->setShortcut(QKeySequence(QStringLiteral("Ctrl+N")));
        }
    };
    fill(window.menuBar()->addMenu(QStringLiteral("&File")), file);
    fill(window.menuBar()->addMenu(QStringLiteral("&Edit")), edit);

    auto* content = new QWidget;
    window.setCentralWidget(content);
    const char* labels[] = {"-s <行番号>", "-d <行増分>", "-a <開始>", "-o {出力形式}", "-c <1行データ数>"};
    const int labelLeft[] = {27, 120, 217, 298, 390};
    for (int i = 0; i < 5; ++i)
        (new QLabel(QString::fromUtf8(labels[i]), content))->setGeometry(labelLeft[i], 217, 74, 20);
    (new QLineEdit(QStringLiteral("0x700"), content))->setGeometry(217, 239, 60, 22);
    auto* popup = new QComboBox(content);
    popup->addItems({QStringLiteral("bin"), QStringLiteral("dec"), QStringLiteral("hex")});
    popup->setGeometry(301, 239, 60, 20);
    const int comboLeft[] = {28, 122, 395};
    for (int left : comboLeft) {
        auto* combo = new QComboBox(content);
        combo->setEditable(true);
        for (int n = 1; n <= 20; ++n)
            combo->addItem(QString::number(n));
        combo->setGeometry(left, 239, 60, 20);
    }
    (new QPushButton(QStringLiteral("Convert"), content))->setGeometry(515, 239, 76, 20);
    auto* c = new QPlainTextEdit(content);
    dictionary = std::async(std::launch::async, loadDictionary);
    c->setPlainText(QStringLiteral("#include <stdint.h>\n\nint16_t usr_sample(int16_t val, void *mem)\n{\n  return -2 * val;\n}\n"));
    c->setGeometry(0, 35, 600, 179);
    (new QPlainTextEdit(content))->setGeometry(0, 274, 600, 140);
    (new QPlainTextEdit(content))->setGeometry(0, 426, 600, 104);
    const char* bevels[] = {"New", "Open", "Save", "Preferences"};
    const int bevelLeft[] = {5, 58, 121, 506};
    for (int i = 0; i < 4; ++i) {
        auto* button = new QToolButton(content);
        button->setText(QString::fromUtf8(bevels[i]));
        button->setGeometry(bevelLeft[i], 6, i == 3 ? 83 : 50, 22);
    }
    (new QCheckBox(QStringLiteral("C"), content))->setGeometry(178, 7, 36, 20);
    (new QCheckBox(QStringLiteral("BASIC"), content))->setGeometry(219, 7, 60, 20);
}

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(installProbe)

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    // Made before the window, so that it waits for the dictionary after the
    // window is gone, as the application's checker does at its exit.
    std::future<std::optional<nuspell::Dictionary>> dictionary;
    QMainWindow window;
    buildByHand(window, dictionary);
    window.resize(600, 550 + window.menuBar()->sizeHint().height());
    window.show();
    return QApplication::exec();
}
