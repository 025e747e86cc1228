#pragma once

#include <QString>

#include <memory>
#include <utility>
#include <vector>

namespace gui {

/// The one spelling dictionary of the process, loaded in the background so that
/// opening a window never waits for it: until it is loaded, nothing counts as
/// misspelled. Uses the hunspell dictionary of the user's language, else en_US;
/// where there is none, nothing is ever marked.
class SpellChecker {
public:
    static SpellChecker& shared();

    /// Starts loading the dictionary if that has not started yet; returns at once.
    void startLoading();
    /// Whether the dictionary has been loaded (or found missing).
    bool isReady() const;
    /// Blocks until loading has finished; returns whether a dictionary is there.
    bool waitUntilReady();
    /// Counts how often loading has finished, so that checked text knows when
    /// to be checked again.
    int generation() const;

    /// The (start, length) ranges of the words in the text that the dictionary
    /// does not know. Only words in Latin script are judged.
    std::vector<std::pair<int, int>> misspelledRanges(const QString& text) const;

    ~SpellChecker();

private:
    SpellChecker();
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace gui
