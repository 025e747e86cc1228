#pragma once

#include <QByteArray>
#include <QString>

#include <memory>

#include <sys/types.h>

namespace gui {

/// Puts new bytes in the place of a plain file so that a write that fails
/// loses nothing, and the file stays the same file: saving through a link
/// writes the file it names and keeps the link.
///
/// As a rule the bytes go to a new file beside the old one, which takes the
/// old one's owner, group and mode and then replaces it by rename: until that
/// rename the old file stands whole. Where a rename would not keep the file
/// the same (a second hard link to it, an owner or group that this user may
/// not give) or no new file may be made in its folder, the file is written in
/// place: its old bytes are kept first and written back when the write fails.
class FileReplacement {
public:
    /// Gets ready to replace the file at `path`, or to make it where nothing is
    /// there yet. A folder, named pipe, socket or device is refused, and never
    /// opened, so that nothing blocks and no node is replaced by a file. Returns
    /// null, with the reason in `whyNot`, when the file cannot be written.
    static std::unique_ptr<FileReplacement> prepare(const QString& path, QString* whyNot);
    /// Unless commit has succeeded, the old file stays as it was and no
    /// temporary file is left.
    ~FileReplacement();
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    /// Puts the bytes in the file, on the disk. Returns false, with the reason
    /// in errorString, when they could not all be written; the old bytes then
    /// stand, as they did before. Only the first call does anything.
    bool commit(const QByteArray& bytes);
    /// The system's reason for the failure, or empty.
    const QString& errorString() const { return error_; }

private:
    /// fd: the new file beside the old one (`temporary` its name), or the old
    /// file itself, opened for reading and writing (`temporary` empty).
    FileReplacement(int fd, QByteArray temporary, QByteArray target, mode_t mode);

    bool writeAndRename(const QByteArray& bytes);
    bool writeInPlace(const QByteArray& bytes);
    /// Writes the kept bytes back over what a failed write changed.
    void putBack(const QByteArray& kept, qint64 oldSize);
    /// Gives the file back the mode bits that writing it may have cleared.
    void keepMode();
    /// Records the reason for the failure, the first one only.
    void fail(const QString& reason);
    void release();

    int fd_;
    QByteArray temporary_;
    QByteArray target_;
    mode_t mode_;
    QString error_;
};

}  // namespace gui
