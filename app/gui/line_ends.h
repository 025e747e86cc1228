#pragma once

#include <QString>
#include <QStringView>

#include <cstdint>
#include <functional>
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

/// A cursor: where it is and where its selection starts.
struct CursorState {
    int anchor = 0;
    int position = 0;
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
/// editing cursor, which ends where the edit was made, tells. Undo and redo are
/// recognised by the document's undo steps, and replay the keeper's own record
/// of the step, so nothing is inferred for them.
class LineEndKeeper {
public:
    /// A range of the document after a change, [start, end).
    struct Range {
        int start;
        int end;
    };

    /// Starts afresh: `raw` is the document's text with its breaks as U+2029,
    /// `ends` the line end of each break in order. Forgets every step.
    void reset(QString raw, std::vector<LineEnd> ends);

    /// Follows one change. `breaksBefore(p)` gives the number of breaks before
    /// position p of the document as it is now. Returns the ranges of the
    /// document that the edit itself changed.
    std::vector<Range> follow(const DocumentChange& change, const std::function<int(int)>& breaksBefore);

    /// The whole text, each break as its line end; `areaLineEnd` for AreaLineEnd.
    QString text(QStringView areaLineEnd) const;

    /// The document's text as the keeper last saw it, breaks as U+2029.
    const QString& raw() const { return raw_; }
    /// The line end of each break, in order.
    const std::vector<LineEnd>& ends() const { return ends_; }
    /// The document's undo steps after the last change followed.
    int undoSteps() const { return undoSteps_; }

private:
    /// One run of breaks replaced: at break `index`, `removed` went and
    /// `inserted` breaks of the area came.
    struct Splice {
        int index;
        std::vector<LineEnd> removed;
        int inserted;
    };
    /// What one undo step did to the breaks, splices in the order applied.
    struct Step {
        int undoSteps;  ///< the document's undo steps just after it
        std::vector<Splice> splices;
    };

    bool replay(int fromSteps, int toSteps);
    std::vector<Range> edit(int position, QStringView before, QStringView after, const DocumentChange& change,
                            const std::function<int(int)>& breaksBefore);

    QString raw_;
    std::vector<LineEnd> ends_;
    std::vector<Step> steps_;
    int undoSteps_ = 0;
};

}  // namespace gui
