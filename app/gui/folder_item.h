#pragma once

#include <QString>

#include <memory>

namespace gui {

class FolderItem;
/// Folder items are shared and reference-counted.
using FolderItemPtr = std::shared_ptr<FolderItem>;

/// A reference to a file or folder by its absolute path; the file need not exist.
class FolderItem {
public:
    /// An item for an absolute path (cleaned of "." and ".." parts). A relative
    /// or empty path gives an item that names nothing and never exists.
    static FolderItemPtr fromPath(const QString& path);
    /// The item that a ShellPath text names: the text is read as one shell word
    /// (quotes and backslashes removed, nothing expanded). Never null.
    static FolderItemPtr fromShellPath(const QString& shellPath);

    /// The item of that name inside this folder, existing or not.
    FolderItemPtr Child(const QString& name) const;
    /// The containing folder; the root is its own parent.
    FolderItemPtr Parent() const;
    /// Whether a file or folder exists at this path.
    bool Exists() const;
    /// The last path component, extension included.
    QString Name() const;
    /// The full path as exactly one word of a /bin/sh command line: a path made
    /// only of characters that need no quoting stays as it is, any other is quoted.
    QString ShellPath() const;
    /// Whether both name one file: the same path, or, where both exist, two
    /// paths to the same file (through a link, or in another letter case on a
    /// file system that ignores case).
    bool sameFileAs(const FolderItem& other) const;
    /// The plain absolute path, for the file system.
    const QString& path() const { return path_; }

    /// Creates this folder; harmless when it exists. Returns whether it exists afterwards.
    bool CreateAsFolder() const;
    /// Deletes the file (or empty folder). Returns false when nothing was deleted.
    bool Delete() const;

    explicit FolderItem(QString path);

private:
    QString path_;
};

/// Whether a text can stand in a shell command line as one word without quoting.
bool isSafeShellWord(const QString& text);
/// The text as exactly one /bin/sh word that the shell turns back into the text
/// itself: safe texts as they are, others (the empty text included) single-quoted.
QString shellQuote(const QString& text);
/// Reads one shell word back into its text: removes single and double quotes and
/// backslash escapes; expands nothing.
QString shellUnquote(const QString& word);

}  // namespace gui
