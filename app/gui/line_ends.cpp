#include "app/gui/line_ends.h"

#include <algorithm>

namespace gui {

namespace {

constexpr QChar kBreak = QChar::ParagraphSeparator;

/// One contiguous edit, in positions from the start of the reported range:
/// the old text [oldStart, oldEnd) became the new text [newStart, newEnd).
struct Hunk {
    qsizetype oldStart;
    qsizetype oldEnd;
    qsizetype newStart;
    qsizetype newEnd;
};

/// Whether the hunks, in order, turn `before` into `after`: everything between
/// and around them is the same on both sides.
bool turnsInto(const std::vector<Hunk>& hunks, QStringView before, QStringView after)
{
    qsizetype oldAt = 0;
    qsizetype newAt = 0;
    for (const Hunk& hunk : hunks) {
        if (hunk.oldStart < oldAt || hunk.newStart < newAt || hunk.oldEnd < hunk.oldStart
            || hunk.newEnd < hunk.newStart || hunk.oldEnd > before.size() || hunk.newEnd > after.size()
            || hunk.oldStart - oldAt != hunk.newStart - newAt
            || before.sliced(oldAt, hunk.oldStart - oldAt) != after.sliced(newAt, hunk.newStart - newAt))
            return false;
        oldAt = hunk.oldEnd;
        newAt = hunk.newEnd;
    }
    return before.sliced(oldAt) == after.sliced(newAt);
}

/// The smallest single hunk that turns `before` into `after`.
Hunk smallestHunk(QStringView before, QStringView after)
{
    const qsizetype shorter = std::min(before.size(), after.size());
    qsizetype prefix = 0;
    while (prefix < shorter && before[prefix] == after[prefix])
        ++prefix;
    qsizetype suffix = 0;
    while (suffix < shorter - prefix && before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix])
        ++suffix;
    return {prefix, before.size() - suffix, prefix, after.size() - suffix};
}

/// The edit that turned `before` into `after`, both the reported range that
/// starts at document position `position`. The editing cursor's selection
/// before and position after name the edit of every ordinary way of editing:
/// typing, pasting or dropping over the selection or at the cursor, deleting
/// backwards or forwards, and a drag that moves the selection. The first of
/// those that explains the change exactly is taken; a change none explains
/// (another cursor's, say) is taken as the smallest edit.
std::vector<Hunk> editBetween(QStringView before, QStringView after, qsizetype position, CursorState cursorBefore,
                              CursorState cursorAfter)
{
    // Formats changed, or the reported range reaches past the edit: the
    // selection that is still there was not typed over.
    if (before == after && cursorBefore.anchor == cursorAfter.anchor && cursorBefore.position == cursorAfter.position)
        return {};
    const qsizetype start = std::min(cursorBefore.anchor, cursorBefore.position) - position;
    const qsizetype end = std::max(cursorBefore.anchor, cursorBefore.position) - position;
    const qsizetype was = cursorBefore.position - position;
    const qsizetype now = cursorAfter.position - position;
    const qsizetype shrunk = before.size() - after.size();
    const qsizetype selected = end - start;

    std::vector<std::vector<Hunk>> candidates = {
        {{start, end, start, now}},  // typed, pasted or dropped over the selection, or it was deleted
        {{now, was, now, now}},      // deleted backwards from the cursor
        {{was, was + shrunk, was, was}},  // deleted forwards
        {{now + shrunk, now + shrunk, now + shrunk, now}},  // inserted where the cursor is now
    };
    if (selected > 0) {
        // The selection dragged elsewhere: removed where it was, inserted
        // where the cursor now ends, before it or after it.
        const qsizetype dropped = now - selected;
        if (dropped <= start)
            candidates.push_back({{dropped, dropped, dropped, now}, {start, end, start + selected, start + selected}});
        else
            candidates.push_back({{start, end, start, start}, {dropped + selected, dropped + selected, dropped, now}});
    }
    for (const auto& hunks : candidates) {
        if (turnsInto(hunks, before, after))
            return hunks;
    }
    return {smallestHunk(before, after)};
}

}  // namespace

std::pair<LineEnd, int> lineEndAt(QStringView text, qsizetype at)
{
    switch (text.at(at).unicode()) {
    case u'\r':
        return at + 1 < text.size() && text.at(at + 1) == u'\n' ? std::pair{LineEnd::CRLF, 2}
                                                                : std::pair{LineEnd::CR, 1};
    case u'\n': return {LineEnd::LF, 1};
    case QChar::ParagraphSeparator: return {LineEnd::ParagraphSeparator, 1};
    case 0xFDD0: return {LineEnd::FrameStart, 1};
    case 0xFDD1: return {LineEnd::FrameEnd, 1};
    default: return {LineEnd::AreaLineEnd, 0};
    }
}

QStringView textOf(LineEnd end)
{
    switch (end) {
    case LineEnd::CR: return u"\r";
    case LineEnd::LF: return u"\n";
    case LineEnd::CRLF: return u"\r\n";
    case LineEnd::ParagraphSeparator: return u"\u2029";
    case LineEnd::FrameStart: return u"\uFDD0";
    case LineEnd::FrameEnd: return u"\uFDD1";
    case LineEnd::AreaLineEnd: break;
    }
    return {};
}

void LineEndKeeper::reset(QString raw, std::vector<LineEnd> ends)
{
    raw_ = std::move(raw);
    ends_ = std::move(ends);
    steps_.clear();
    undoSteps_ = 0;
}

std::vector<LineEndKeeper::Range> LineEndKeeper::follow(const DocumentChange& change,
                                                         const std::function<int(int)>& breaksBefore)
{
    // The document counts a final separator that is no text of it.
    const int position = std::clamp(change.position, 0, int(raw_.size()));
    const int removed = std::clamp(change.charsRemoved, 0, int(raw_.size()) - position);
    const QString before = raw_.mid(position, removed);
    raw_.replace(position, removed, change.added);
    const int breaks = breaksBefore(int(raw_.size()));

    const int steps = change.undoSteps;
    const bool undone = steps < undoSteps_;
    const bool redone = steps > undoSteps_ && !change.commandAdded;
    std::vector<Range> edited;
    if (!(undone || redone) || !replay(undoSteps_, steps)) {
        // An edit drops what the document can no longer redo; a report of
        // changed formats alone drops nothing.
        if (change.commandAdded || before != change.added) {
            const int kept = std::min(undoSteps_, steps);
            steps_.erase(std::find_if(steps_.begin(), steps_.end(), [&](const Step& s) { return s.undoSteps > kept; }),
                         steps_.end());
        }
        edited = edit(position, before, change.added, change, breaksBefore);
    }
    undoSteps_ = steps;
    if (int(ends_.size()) != breaks) {
        // Out of step with the document (it was replaced behind the keeper's
        // back): its breaks are kept as they are now, every other step forgotten.
        ends_.resize(breaks, LineEnd::AreaLineEnd);
        steps_.clear();
    }
    return edited;
}

std::vector<LineEndKeeper::Range> LineEndKeeper::edit(int position, QStringView before, QStringView after,
                                                       const DocumentChange& change,
                                                       const std::function<int(int)>& breaksBefore)
{
    const std::vector<Hunk> hunks = editBetween(before, after, position, change.before, change.after);
    std::vector<Splice> splices;
    std::vector<Range> edited;
    int shift = 0;  // breaks added minus breaks removed by the hunks before this one
    for (const Hunk& hunk : hunks) {
        edited.push_back({int(position + hunk.newStart), int(position + hunk.newEnd)});
        const int removed = int(before.sliced(hunk.oldStart, hunk.oldEnd - hunk.oldStart).count(kBreak));
        const int inserted = int(after.sliced(hunk.newStart, hunk.newEnd - hunk.newStart).count(kBreak));
        if (removed == 0 && inserted == 0)
            continue;
        // The breaks before the hunk are the same in the old text and the new,
        // but for those the hunks before it removed or added.
        splices.push_back({breaksBefore(int(position + hunk.newStart)) - shift,
                           std::vector<LineEnd>(removed), inserted});
        shift += inserted - removed;
    }
    // The last first, so that each index still counts the breaks as they were.
    std::reverse(splices.begin(), splices.end());
    for (Splice& splice : splices) {
        splice.index = std::clamp(splice.index, 0, int(ends_.size()));
        const auto at = ends_.begin() + splice.index;
        const auto last = at + std::min(int(splice.removed.size()), int(ends_.end() - at));
        splice.removed.assign(at, last);
        ends_.insert(ends_.erase(at, last), splice.inserted, LineEnd::AreaLineEnd);
    }
    if (!splices.empty() && change.undoSteps > 0) {
        if (!steps_.empty() && steps_.back().undoSteps == change.undoSteps)
            steps_.back().splices.insert(steps_.back().splices.end(), splices.begin(), splices.end());
        else
            steps_.push_back({change.undoSteps, std::move(splices)});
    }
    return edited;
}

bool LineEndKeeper::replay(int fromSteps, int toSteps)
{
    std::vector<LineEnd> ends = ends_;
    auto fits = [&](int index, size_t count) { return index >= 0 && size_t(index) + count <= ends.size(); };
    if (toSteps < fromSteps) {
        for (auto step = steps_.rbegin(); step != steps_.rend(); ++step) {
            if (step->undoSteps <= toSteps || step->undoSteps > fromSteps)
                continue;
            for (auto splice = step->splices.rbegin(); splice != step->splices.rend(); ++splice) {
                if (!fits(splice->index, splice->inserted))
                    return false;
                const auto at = ends.begin() + splice->index;
                ends.insert(ends.erase(at, at + splice->inserted), splice->removed.begin(), splice->removed.end());
            }
        }
    } else {
        for (const Step& step : steps_) {
            if (step.undoSteps <= fromSteps || step.undoSteps > toSteps)
                continue;
            for (const Splice& splice : step.splices) {
                if (!fits(splice.index, splice.removed.size()))
                    return false;
                const auto at = ends.begin() + splice.index;
                ends.insert(ends.erase(at, at + splice.removed.size()), splice.inserted, LineEnd::AreaLineEnd);
            }
        }
    }
    ends_ = std::move(ends);
    return true;
}

QString LineEndKeeper::text(QStringView areaLineEnd) const
{
    const bool allTheAreas = std::all_of(ends_.begin(), ends_.end(), [&](LineEnd end) {
        return end == LineEnd::AreaLineEnd || textOf(end) == areaLineEnd;
    });
    if (allTheAreas)
        return QString(raw_).replace(kBreak, areaLineEnd.toString());
    QString text;
    text.reserve(raw_.size() + raw_.size() / 4);
    qsizetype from = 0;
    size_t index = 0;
    for (qsizetype at = raw_.indexOf(kBreak); at >= 0; at = raw_.indexOf(kBreak, from)) {
        text += QStringView(raw_).sliced(from, at - from);
        const LineEnd end = index < ends_.size() ? ends_[index] : LineEnd::AreaLineEnd;
        text += end == LineEnd::AreaLineEnd ? areaLineEnd : textOf(end);
        ++index;
        from = at + 1;
    }
    text += QStringView(raw_).sliced(from);
    return text;
}

}  // namespace gui
