#pragma once

#include "app/gui/folder_item.h"

#include <QByteArray>
#include <QString>

#include <memory>

namespace gui {

class FileReplacement;

/// Reads a text file that was read whole when it was opened, decoded by
/// decodeText: UTF-8, with any other byte kept as a code point of its own.
class TextInputStream {
public:
    /// A stream from the file's start, or null when the file cannot be opened;
    /// `whyNot`, when given, then receives the reason. Only a plain file is
    /// opened (links followed), of at most kLargestTextFileBytes: anything else
    /// is refused at once, without being opened.
    static std::unique_ptr<TextInputStream> Open(const FolderItemPtr& item, QString* whyNot = nullptr);

    /// The next line without its line end (CR, LF or CRLF); empty at the end.
    /// A byte-order mark at the start of the file is not part of the first line.
    QString ReadLine();
    /// The next line as ReadLine finds it, as the bytes that the file holds for
    /// it (so a part of it can be read on its own bytes, by decodeUtf8OrLatin1);
    /// empty at the end.
    QByteArray ReadLineBytes();
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

/// Writes a text file whole at Close, through a FileReplacement: a write that
/// fails half-way (disk full, size limit, quota) leaves the old file's bytes as
/// they were, and a save keeps the file the same file (its links, owner, group
/// and mode).
class TextOutputStream {
public:
    /// A stream that will create or replace the file, or null when it cannot be
    /// created; `whyNot`, when given, then receives the reason. A folder, named
    /// pipe, socket or device is refused and left as it is.
    static std::unique_ptr<TextOutputStream> Create(const FolderItemPtr& item, QString* whyNot = nullptr);
    ~TextOutputStream();

    /// Writes the text unchanged, encoded by encodeText.
    void Write(const QString& text);
    /// Writes the text and a line end ("\n") that ReadLine knows.
    void WriteLine(const QString& text);
    /// Puts the written text in the file. Returns false, leaving the old file's
    /// bytes as they were, when it could not be written whole; errorString then
    /// tells why. Called by the destructor when not called before.
    bool Close();
    /// Why Close failed, in the system's words where it gave them; or empty.
    const QString& errorString() const { return error_; }

    explicit TextOutputStream(std::unique_ptr<FileReplacement> file);

private:
    std::unique_ptr<FileReplacement> file_;
    QByteArray bytes_;
    QString error_;
};

/// Creates or replaces the file with the text, written whole (a TextOutputStream
/// created, written once and closed). Returns why it could not, or empty.
QString writeWholeTextFile(const FolderItemPtr& item, const QString& text);

}  // namespace gui
