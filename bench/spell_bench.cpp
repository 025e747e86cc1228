// Putting 1 MiB of C text into the converter window's C area, spell checking
// on, until it is first painted, against a bare QPlainTextEdit of the same size
// given the same text with setPlainText and painted once. Fresh widgets for
// every run, the measures interleaved (see bench::roundOrder). The windows are
// made on the Qt platform that QT_QPA_PLATFORM names, offscreen when it names
// none, and every row says which.

#include "bench/bench_support.h"
#include "bench/quiet_offscreen.h"

#include "app/gui/spell_checker.h"
#include "converter/twk_win.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextLayout>

#include <cstdio>
#include <cstdlib>
#include <memory>

#include <unistd.h>

namespace {

constexpr int kWarmUps = 1;
// Whole cycles of the seven measures' orders (see bench::roundOrder).
constexpr int kRuns = 14;
constexpr int kTextBytes = 1 << 20;

/// About 1 MiB of C, with a misspelled word in every comment, so that the
/// checker has words to judge and marks to make.
QString oneMebibyteOfC()
{
    QString text;
    text.reserve(kTextBytes + 200);
    for (int n = 0; text.size() < kTextBytes; ++n) {
        text += QStringLiteral("/* step %1: doubel the value and return it */\n"
                               "int16_t usr_sample_%1(int16_t val, void *mem)\n{\n  return -2 * val;\n}\n\n")
                    .arg(n);
    }
    text.truncate(kTextBytes);
    return text;
}

/// About 1 MiB of C on one line without a single break opportunity: a blob
/// as a string of hex escapes, after a comment with a misspelled word.
QString oneMebibyteLine()
{
    QString text = QStringLiteral("/* the doubel blob */ static const unsigned char blob[] = \"");
    text.reserve(kTextBytes + 8);
    for (int n = 0; text.size() < kTextBytes - 3; ++n)
        text += QStringLiteral("\\x%1").arg(n % 256, 2, 16, QLatin1Char('0'));
    text += QStringLiteral("\";\n");
    return text;
}

/// About 1 MiB of words on one line, each glued to the next by a no-break
/// space, as text pasted from a web page: no break opportunity anywhere.
QString oneMebibyteGluedLine()
{
    QString text = QStringLiteral("/* the doubel words */");
    text.reserve(kTextBytes + 16);
    for (int n = 0; text.size() < kTextBytes - 1; ++n)
        text += QStringLiteral("\u00A0word%1").arg(n);
    text += u'\n';
    return text;
}

int markedBlocks(const QPlainTextEdit* area)
{
    int marked = 0;
    for (QTextBlock block = area->document()->firstBlock(); block.isValid(); block = block.next()) {
        if (!block.layout()->formats().isEmpty())
            ++marked;
    }
    return marked;
}

/// The resident memory of this process now.
double residentMiB()
{
    long pages = 0;
    long resident = 0;
    if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(statm);
    }
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    bench::quietOffscreenPlatform();
    QApplication app(argc, argv);

    const double residentBefore = residentMiB();
    const auto loadStart = bench::Clock::now();
    if (!gui::SpellChecker::shared().waitUntilReady()) {
        std::fprintf(stderr, "spell_bench: no spelling dictionary (install hunspell-en-us)\n");
        return 1;
    }
    const double loadMs = bench::millisecondsSince(loadStart);
    const double dictionaryMiB = residentMiB() - residentBefore;
    QApplication::processEvents();

    const QString text = oneMebibyteOfC();
    // The same text with the carriage returns of a classic Mac file, which the
    // area turns into its own line breaks and remembers.
    const QString crText = QString(text).replace(u'\n', u'\r');

    auto throughTextArea = [&](const QString& given) {
        TWKWin* window = gui::Window::make<TWKWin>();
        window->Show();
        QApplication::processEvents();
        gui::TextArea* area = window->cEF();
        const auto start = bench::Clock::now();
        area->setText(given);
        area->viewport()->repaint();
        const double ms = bench::millisecondsSince(start);
        if (markedBlocks(area) == 0) {
            std::fprintf(stderr, "spell_bench: the first paint marked nothing\n");
            std::exit(1);
        }
        delete window;
        return ms;
    };
    // One key typed at the end of the first line, until it is painted.
    auto typing = [&](const QString& given) {
        TWKWin* window = gui::Window::make<TWKWin>();
        window->Show();
        gui::TextArea* area = window->cEF();
        area->setText(given);
        area->viewport()->repaint();
        QTextCursor cursor(area->document());
        cursor.movePosition(QTextCursor::EndOfBlock);
        area->setTextCursor(cursor);
        const auto start = bench::Clock::now();
        QKeyEvent key(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
        QApplication::sendEvent(area, &key);
        area->viewport()->repaint();
        const double ms = bench::millisecondsSince(start);
        delete window;
        return ms;
    };
    auto throughPlainTextEdit = [&] {
        auto window = std::make_unique<QWidget>();
        window->resize(600, 550);
        auto* edit = new QPlainTextEdit(window.get());
        edit->setGeometry(0, 35, 600, 179);
        window->show();
        QApplication::processEvents();
        const auto start = bench::Clock::now();
        edit->setPlainText(text);
        edit->viewport()->repaint();
        return bench::millisecondsSince(start);
    };

    const QString line = oneMebibyteLine();
    const QString glued = oneMebibyteGluedLine();
    for (int i = 0; i < kWarmUps; ++i) {
        throughTextArea(line);
        throughTextArea(glued);
        throughTextArea(text);
        throughTextArea(crText);
        throughPlainTextEdit();
    }
    std::vector<double> areaTimes;
    std::vector<double> crAreaTimes;
    std::vector<double> plainTimes;
    std::vector<double> lineTimes;
    std::vector<double> gluedTimes;
    std::vector<double> typingInLines;
    std::vector<double> typingInLine;
    bench::runInterleaved(kRuns, {[&] { areaTimes.push_back(throughTextArea(text)); },
                                  [&] { plainTimes.push_back(throughPlainTextEdit()); },
                                  [&] { crAreaTimes.push_back(throughTextArea(crText)); },
                                  [&] { lineTimes.push_back(throughTextArea(line)); },
                                  [&] { gluedTimes.push_back(throughTextArea(glued)); },
                                  [&] { typingInLines.push_back(typing(text)); },
                                  [&] { typingInLine.push_back(typing(line)); }});
    const std::string platform = QGuiApplication::platformName().toStdString();
    auto row = [&](const char* what, const std::vector<double>& samples) {
        bench::printRow(bench::onPlatform(what, platform), samples, "ms");
    };

    std::printf("\nSpelling dictionary loaded in the background in %.1f ms, holding %.1f MiB of memory"
                " (not part of the runs below)\n",
                loadMs, dictionaryMiB);
    bench::printHeader("1 MiB of C text into the C area, then the first paint");
    row("TextArea, spell checking on: setText LF, first paint", areaTimes);
    row("TextArea, spell checking on: setText CR, first paint", crAreaTimes);
    row("bare QPlainTextEdit: setPlainText LF, first paint", plainTimes);
    bench::printRatio("ratio of medians, TextArea LF / QPlainTextEdit", bench::median(areaTimes) / bench::median(plainTimes),
                      2.0);
    bench::printRatio("ratio of medians, TextArea CR / QPlainTextEdit",
                      bench::median(crAreaTimes) / bench::median(plainTimes), 2.0);

    bench::printHeader("1 MiB on one line without break points (a blob; words glued by no-break spaces),"
                       " against 1 MiB in lines (all TextArea)");
    row("TextArea: setText one line, first paint", lineTimes);
    row("TextArea: setText lines, first paint", areaTimes);
    bench::printRatio("ratio of medians, one line / lines", bench::median(lineTimes) / bench::median(areaTimes), 8.0);
    row("TextArea: setText no-break-space-glued line, first paint", gluedTimes);
    bench::printRatio("ratio of medians, glued line / lines", bench::median(gluedTimes) / bench::median(areaTimes),
                      8.0);
    row("TextArea, one line: a key typed at its end, painted", typingInLine);
    row("TextArea, lines: a key typed at line 1's end, painted", typingInLines);
    return 0;
}
