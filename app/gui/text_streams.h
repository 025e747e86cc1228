#pragma once

#include "app/gui/folder_item.h"

#include <QString>

#include <memory>

class QSaveFile;

namespace gui {

/// Reads a text file that was read whole when it was opened, decoded by
/// decodeText: UTF-8, with any other byte kept as a code point of its own.
class TextInputStream {
public:
    /// A stream from the file's start, or null when the file cannot be opened;
    /// `whyNot`, when given, then receives the system's reason.
    static std::unique_ptr<TextInputStream> Open(const FolderItemPtr& item, QString* whyNot = nullptr);

    /// The next line without its line end (CR, LF or CRLF); empty at the end.
    /// A byte-order mark at the start of the file is not part of the first line.
    QString ReadLine();
    /// The next line as ReadLine finds it, but its bytes read on their own, as
    /// for a file written by hand in any editor: valid UTF-8 is that text, and
    /// a line that is not reads as Latin-1, one character per byte. A line
    /// read so may not write back as the same bytes: documents use ReadLine.
    QString ReadLineUtf8OrLatin1();
    /// The rest of the file as one text, line ends unchanged.
    QString ReadAll();
    /// Whether nothing is left to read. (Named so because EOF is a C macro.)
    bool Eof() const { return position_ >= text_.size(); }
    /// Ends the stream; nothing more is read.
    void Close();

    explicit TextInputStream(QString text) : text_(std::move(text)) {}

private:
    QString text_;
    qsizetype position_ = 0;
};

/// Writes a text file that replaces the old one atomically: until Close has
/// succeeded, the file that was there stays whole, so a write that fails half-way
/// (disk full, size limit) never leaves a truncated file. The one exception is a
/// writable file in a folder where no new file may be made: it is written in
/// place, since it could not be saved at all otherwise.
class TextOutputStream {
public:
    /// A stream that will create or replace the file, or null when it cannot be
    /// created; `whyNot`, when given, then receives the system's reason.
    static std::unique_ptr<TextOutputStream> Create(const FolderItemPtr& item, QString* whyNot = nullptr);
    ~TextOutputStream();

    /// Writes the text unchanged, encoded by encodeText.
    void Write(const QString& text);
    /// Writes the text and a line end ("\n") that ReadLine knows.
    void WriteLine(const QString& text);
    /// Puts the written text in place of the old file. Returns false, leaving the
    /// old file whole, when any write failed or the replacement could not be made;
    /// errorString then tells why. Called by the destructor when not called before.
    bool Close();
    /// The system's reason for the first failure, or empty.
    const QString& errorString() const { return error_; }

    explicit TextOutputStream(std::unique_ptr<QSaveFile> file);

private:
    void fail();

    std::unique_ptr<QSaveFile> file_;
    QString error_;
};

}  // namespace gui
