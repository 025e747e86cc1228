#pragma once

#include <QString>
#include <QStringView>

#include <cstdint>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

namespace gui {

/// How one line ends. A text area breaks its document into blocks at each of
/// these; AreaLineEnd is a break typed or pasted, which takes the area's own.
enum class LineEnd : std::uint8_t { AreaLineEnd, CR, LF, CRLF, ParagraphSeparator, FrameStart, FrameEnd };

/// The line end that starts at `at` in the text, and its length; AreaLineEnd
/// and 0 when none does.
std::pair<LineEnd, int> lineEndAt(QStringView text, qsizetype at);
/// The characters of a line end; empty for AreaLineEnd.
QStringView textOf(LineEnd end);
/// The text as a text document holds it, every line end one U+2029; the line
/// end of each, in order, goes to `ends`.
QString rawTextOf(QStringView text, std::vector<LineEnd>& ends);

/// A cursor: where it is and where its selection starts.
struct CursorState {
    int anchor = 0;
    int position = 0;
};

/// One edit of a document that the area knows it makes: at `position`,
/// `removed` characters replaced by `inserted` (breaks as U+2029, each with
/// its line end in `ends`, AreaLineEnd for one typed or pasted).
struct TextEdit {
    int position = 0;
    int removed = 0;
    QString inserted;
    std::vector<LineEnd> ends;
};

/// One change of a document as the document reports it, with what the area
/// knows around it. The reported range may be wider than the edit, and may
/// hold nothing but changed formats.
struct DocumentChange {
    int position = 0;      ///< where the reported range starts
    int charsRemoved = 0;  ///< its length before the change
    QString added;         ///< its text now, breaks as U+2029
    CursorState before;    ///< the editing cursor before the change
    CursorState after;     ///< the editing cursor now
    int undoSteps = 0;     ///< the document's undo steps now
    bool commandAdded = false;  ///< whether the change added a command to the undo stack
    /// The edits that made the change, one after another, where the area knows
    /// them: then nothing is guessed. None at all: the text did not change.
    std::optional<std::vector<TextEdit>> edits;
};

/// Keeps each line's own line end beside a text document that holds every
/// break as one block separator, as if the line ends were characters of the
/// text: an edit moves only the breaks it removes or adds, a break it adds is
/// the area's, and undoing or redoing a step puts back exactly the line ends
/// from before or after it.
///
/// Documents do not report edits minimally: a report may span whatever else
/// changed since the last one, formats included. So the keeper holds the text
/// as it last saw it and compares the old and new text of the reported range;
/// where that comparison alone cannot tell which of two equal breaks went, the
/// editing cursor, which ends where the edit was made, tells. Where the area
/// knows the edit (an input method's commit, text appended), it says so, and
/// nothing is guessed. Undo and redo are recognised by the document's undo
/// steps, and replay the keeper's own record of the step, so nothing is
/// inferred for them.
///
/// The text it gives back always splits into the lines the document shows:
/// where an edit would leave a lone CR just before the LF of an empty line,
/// which would read back as one CRLF, the break the edit touched takes another
/// line end.
class LineEndKeeper {
public:
    /// A range of the document after a change, [start, end).
    struct Range {
        int start;
        int end;
    };

    /// Starts afresh: `raw` is the document's text with its breaks as U+2029,
    /// `ends` the line end of each break in order, `areaLineEnd` (CR, LF or
    /// CRLF) what a typed or pasted break stands for. Forgets every step.
    void reset(QString raw, std::vector<LineEnd> ends, LineEnd areaLineEnd);

    /// Follows one change. `breaksBefore(p)` gives the number of breaks before
    /// position p of the document as it is now. Returns the ranges of the
    /// document that the edit itself changed.
    std::vector<Range> follow(const DocumentChange& change, const std::function<int(int)>& breaksBefore);

    /// The whole text, each break as its line end.
    QString text() const;

    /// The document's text as the keeper last saw it, breaks as U+2029.
    const QString& raw() const { return raw_; }
    /// The line end of each break, in order.
    const std::vector<LineEnd>& ends() const { return ends_; }
    /// The document's undo steps after the last change followed.
    int undoSteps() const { return undoSteps_; }

private:
    /// One run of breaks replaced: at break `index`, `removed` went and
    /// `inserted` came.
    struct Splice {
        int index;
        std::vector<LineEnd> removed;
        std::vector<LineEnd> inserted;
    };
    /// What one undo step did to the breaks, splices in the order applied.
    struct Step {
        int undoSteps;  ///< the document's undo steps just after it
        std::vector<Splice> splices;
    };

    bool replay(int fromSteps, int toSteps);
    std::vector<Range> edit(int position, QStringView before, QStringView after, const DocumentChange& change,
                            const std::function<int(int)>& breaksBefore, std::vector<Splice>& splices);
    std::optional<std::vector<Range>> knownEdits(int position, QStringView before, QStringView after,
                                                 const DocumentChange& change,
                                                 const std::function<int(int)>& breaksBefore,
                                                 std::vector<Splice>& splices);
    void applySplice(Splice& splice);
    void keepLinesApart(const std::vector<Range>& edited, const std::function<int(int)>& breaksBefore,
                        std::vector<Splice>& splices);
    void record(int undoSteps, std::vector<Splice> splices);
    LineEnd resolved(LineEnd end) const { return end == LineEnd::AreaLineEnd ? areaLineEnd_ : end; }

    QString raw_;
    std::vector<LineEnd> ends_;
    LineEnd areaLineEnd_ = LineEnd::LF;
    std::vector<Step> steps_;
    int undoSteps_ = 0;
};

}  // namespace gui
