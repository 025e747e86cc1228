#pragma once

#include "app/gui/folder_item.h"

#include <QString>

#include <memory>

class QSaveFile;

namespace gui {

/// Reads a text file that was read whole when it was opened. Text is UTF-8;
/// bytes that are not UTF-8 are read as Latin-1 so that nothing is dropped.
class TextInputStream {
public:
    /// A stream from the file's start, or null when the file cannot be opened.
    static std::unique_ptr<TextInputStream> Open(const FolderItemPtr& item);

    /// The next line without its line end (CR, LF or CRLF); empty at the end.
    QString ReadLine();
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
/// (disk full, size limit) never leaves a truncated file.
class TextOutputStream {
public:
    /// A stream that will create or replace the file, or null when it cannot be created.
    static std::unique_ptr<TextOutputStream> Create(const FolderItemPtr& item);
    ~TextOutputStream();

    /// Writes the text unchanged, as UTF-8.
    void Write(const QString& text);
    /// Writes the text and a line end ("\n") that ReadLine knows.
    void WriteLine(const QString& text);
    /// Puts the written text in place of the old file. Returns false, leaving the
    /// old file whole, when any write failed or the replacement could not be made.
    /// Called by the destructor when not called before.
    bool Close();

    explicit TextOutputStream(std::unique_ptr<QSaveFile> file);

private:
    std::unique_ptr<QSaveFile> file_;
};

}  // namespace gui
