#include "app/gui/spell_checker.h"

#include <QApplication>
#include <QLocale>
#include <QWidget>

#include <nuspell/dictionary.hxx>
#include <nuspell/finder.hxx>

#include <atomic>
#include <future>
#include <mutex>
#include <optional>

namespace gui {

struct SpellChecker::State {
    std::once_flag started;
    std::shared_future<void> loaded;
    std::atomic<bool> ready{false};
    std::atomic<int> generation{0};
    std::optional<nuspell::Dictionary> dictionary;  // Written once, before ready is set.
};

namespace {

std::optional<nuspell::Dictionary> loadDictionary()
{
    std::vector<std::filesystem::path> folders;
    nuspell::append_default_dir_paths(folders);
    const QString language = QLocale::system().name();
    for (const QString& name : {language, QStringLiteral("en_US")}) {
        const auto dic = nuspell::search_dirs_for_one_dict(folders, name.toStdString());
        if (dic.empty())
            continue;
        try {
            nuspell::Dictionary dictionary;
            auto aff = dic;
            dictionary.load_aff_dic(aff.replace_extension(".aff"));
            return dictionary;
        } catch (const std::exception&) {
            // A damaged dictionary is no dictionary: try the next one.
        }
    }
    return std::nullopt;
}

void repaintTextAreas()
{
    for (QWidget* widget : QApplication::allWidgets()) {
        if (widget->property("gui.spellChecked").toBool())
            widget->update();
    }
}

bool isWordCharacter(QChar c)
{
    return c.isLetter() || c.isMark();
}

}  // namespace

SpellChecker::SpellChecker() : state_(std::make_unique<State>()) {}

SpellChecker::~SpellChecker()
{
    if (state_->loaded.valid())
        state_->loaded.wait();
}

SpellChecker& SpellChecker::shared()
{
    static SpellChecker checker;
    return checker;
}

void SpellChecker::startLoading()
{
    std::call_once(state_->started, [this] {
        state_->loaded = std::async(std::launch::async, [this] {
                             state_->dictionary = loadDictionary();
                             state_->ready = true;
                             ++state_->generation;
                             if (QCoreApplication* app = QCoreApplication::instance())
                                 QMetaObject::invokeMethod(app, &repaintTextAreas, Qt::QueuedConnection);
                         }).share();
    });
}

bool SpellChecker::isReady() const
{
    return state_->ready;
}

bool SpellChecker::waitUntilReady()
{
    startLoading();
    state_->loaded.wait();
    return state_->dictionary.has_value();
}

int SpellChecker::generation() const
{
    return state_->generation;
}

std::vector<std::pair<int, int>> SpellChecker::misspelledRanges(const QString& text) const
{
    std::vector<std::pair<int, int>> ranges;
    if (!state_->ready || !state_->dictionary)
        return ranges;
    const int size = static_cast<int>(text.size());
    int i = 0;
    while (i < size) {
        if (!isWordCharacter(text.at(i))) {
            ++i;
            continue;
        }
        const int start = i;
        bool latin = true;
        // An apostrophe between letters belongs to the word ("don't").
        while (i < size && (isWordCharacter(text.at(i))
                            || (text.at(i) == u'\'' && i + 1 < size && text.at(i + 1).isLetter()))) {
            if (text.at(i).isLetter() && text.at(i).script() != QChar::Script_Latin)
                latin = false;
            ++i;
        }
        if (!latin)
            continue;
        const QString word = text.mid(start, i - start);
        if (!state_->dictionary->spell(word.toStdString()))
            ranges.emplace_back(start, i - start);
    }
    return ranges;
}

}  // namespace gui
