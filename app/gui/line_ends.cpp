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

QString rawTextOf(QStringView text, std::vector<LineEnd>& ends)
{
    QString raw;
    raw.reserve(text.size());
    qsizetype from = 0;
    for (qsizetype at = 0; at < text.size(); ++at) {
        const auto [end, length] = lineEndAt(text, at);
        if (length == 0)
            continue;
        raw += text.sliced(from, at - from);
        raw += kBreak;
        ends.push_back(end);
        at += length - 1;
        from = at + 1;
    }
    raw += text.sliced(from);
    return raw;
}

void LineEndKeeper::reset(QString raw, std::vector<LineEnd> ends, LineEnd areaLineEnd)
{
    raw_ = std::move(raw);
    ends_ = std::move(ends);
    areaLineEnd_ = areaLineEnd;
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
    const bool known = change.edits.has_value();
    const bool undone = !known && steps < undoSteps_;
    const bool redone = !known && steps > undoSteps_ && !change.commandAdded;
    std::vector<Range> edited;
    if (!(undone || redone) || !replay(undoSteps_, steps)) {
        // An edit drops what the document can no longer redo; a report of
        // changed formats alone drops nothing.
        if (known || change.commandAdded || before != change.added) {
            const int kept = std::min(undoSteps_, steps);
            steps_.erase(std::find_if(steps_.begin(), steps_.end(), [&](const Step& s) { return s.undoSteps > kept; }),
                         steps_.end());
        }
        std::vector<Splice> splices;
        std::optional<std::vector<Range>> exact;
        if (known)
            exact = knownEdits(position, before, change.added, change, breaksBefore, splices);
        edited = exact ? std::move(*exact) : edit(position, before, change.added, change, breaksBefore, splices);
        keepLinesApart(edited, breaksBefore, splices);
        record(change.undoSteps, std::move(splices));
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
                                                       const std::function<int(int)>& breaksBefore,
                                                       std::vector<Splice>& splices)
{
    const std::vector<Hunk> hunks = editBetween(before, after, position, change.before, change.after);
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
        splices.push_back({breaksBefore(int(position + hunk.newStart)) - shift, std::vector<LineEnd>(removed),
                           std::vector<LineEnd>(inserted, LineEnd::AreaLineEnd)});
        shift += inserted - removed;
    }
    // The last first, so that each index still counts the breaks as they were.
    std::reverse(splices.begin(), splices.end());
    for (Splice& splice : splices)
        applySplice(splice);
    return edited;
}

std::optional<std::vector<LineEndKeeper::Range>> LineEndKeeper::knownEdits(
    int position, QStringView before, QStringView after, const DocumentChange& change,
    const std::function<int(int)>& breaksBefore, std::vector<Splice>& splices)
{
    // Only edits that make exactly the reported text are taken; any other
    // report (a format changed as well, say) is left to the guess.
    QString text = before.toString();
    for (const TextEdit& known : *change.edits) {
        const qsizetype at = known.position - position;
        if (at < 0 || known.removed < 0 || at + known.removed > text.size()
            || known.inserted.count(kBreak) != qsizetype(known.ends.size()))
            return std::nullopt;
        text.replace(at, known.removed, known.inserted);
    }
    if (text != after)
        return std::nullopt;

    text = before.toString();
    const int breaksAhead = breaksBefore(position);
    std::vector<Range> edited;
    for (const TextEdit& known : *change.edits) {
        const qsizetype at = known.position - position;
        const int removed = int(QStringView(text).sliced(at, known.removed).count(kBreak));
        if (removed > 0 || !known.ends.empty()) {
            splices.push_back({breaksAhead + int(QStringView(text).first(at).count(kBreak)),
                               std::vector<LineEnd>(removed), known.ends});
            applySplice(splices.back());
        }
        text.replace(at, known.removed, known.inserted);
        // What the earlier edits made moves with this one.
        const int end = known.position + known.removed;
        const int grown = int(known.inserted.size()) - known.removed;
        auto moved = [&](int p) { return p <= known.position ? p : p >= end ? p + grown : known.position; };
        for (Range& range : edited)
            range = {moved(range.start), moved(range.end)};
        edited.push_back({known.position, known.position + int(known.inserted.size())});
    }
    return edited;
}

void LineEndKeeper::applySplice(Splice& splice)
{
    splice.index = std::clamp(splice.index, 0, int(ends_.size()));
    const auto at = ends_.begin() + splice.index;
    const auto last = at + std::min(int(splice.removed.size()), int(ends_.end() - at));
    splice.removed.assign(at, last);
    ends_.insert(ends_.erase(at, last), splice.inserted.begin(), splice.inserted.end());
}

void LineEndKeeper::keepLinesApart(const std::vector<Range>& edited, const std::function<int(int)>& breaksBefore,
                                   std::vector<Splice>& splices)
{
    // Two breaks meet where the edit begins or ends: a CR there followed at
    // once by an LF would read back as one CRLF, one line less than shown.
    // The break within the edit changes, else the one just after it: the
    // line end of the line the edit touched; every other line keeps its own.
    auto isBreak = [&](qsizetype at) { return at >= 0 && at < raw_.size() && raw_[at] == kBreak; };
    for (const Range& range : edited) {
        for (const int first : {range.start - 1, range.end - 1}) {
            if (!isBreak(first) || !isBreak(first + 1))
                continue;
            const int index = breaksBefore(first);
            if (index + 1 >= int(ends_.size()) || resolved(ends_[index]) != LineEnd::CR
                || resolved(ends_[index + 1]) != LineEnd::LF)
                continue;
            const bool firstIsEdited = first >= range.start && first < range.end;
            const int changed = firstIsEdited ? index : index + 1;
            const int at = firstIsEdited ? first : first + 1;
            const LineEnd previous = isBreak(at - 1) ? resolved(ends_[changed - 1]) : LineEnd::AreaLineEnd;
            const LineEnd next = isBreak(at + 1) && changed + 1 < int(ends_.size()) ? resolved(ends_[changed + 1])
                                                                                    : LineEnd::AreaLineEnd;
            for (const LineEnd candidate : {LineEnd::AreaLineEnd, LineEnd::CR, LineEnd::LF, LineEnd::CRLF}) {
                const LineEnd is = resolved(candidate);
                if ((previous == LineEnd::CR && is == LineEnd::LF) || (is == LineEnd::CR && next == LineEnd::LF))
                    continue;
                splices.push_back({changed, std::vector<LineEnd>(1), {candidate}});
                applySplice(splices.back());
                break;
            }
        }
    }
}

void LineEndKeeper::record(int undoSteps, std::vector<Splice> splices)
{
    if (splices.empty() || undoSteps <= 0)
        return;
    if (!steps_.empty() && steps_.back().undoSteps == undoSteps)
        steps_.back().splices.insert(steps_.back().splices.end(), splices.begin(), splices.end());
    else
        steps_.push_back({undoSteps, std::move(splices)});
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
                if (!fits(splice->index, splice->inserted.size()))
                    return false;
                const auto at = ends.begin() + splice->index;
                ends.insert(ends.erase(at, at + splice->inserted.size()), splice->removed.begin(),
                            splice->removed.end());
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
                ends.insert(ends.erase(at, at + splice.removed.size()), splice.inserted.begin(),
                            splice.inserted.end());
            }
        }
    }
    ends_ = std::move(ends);
    return true;
}

QString LineEndKeeper::text() const
{
    const QStringView areaLineEnd = textOf(areaLineEnd_);
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
