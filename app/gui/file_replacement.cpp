#include "app/gui/file_replacement.h"

#include "app/gui/plain_files.h"

#include <QFile>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace gui {

namespace {

/// The file that saving through `path` writes: where it is a link (or a chain
/// of them), the file the last one names, which need not exist yet.
QByteArray followLinks(QByteArray path)
{
    for (int hops = 0; hops < 40; ++hops) {
        struct stat node {};
        if (::lstat(path.constData(), &node) != 0 || !S_ISLNK(node.st_mode))
            return path;
        QByteArray target(node.st_size > 0 ? node.st_size + 1 : 256, '\0');
        const ssize_t length = ::readlink(path.constData(), target.data(), static_cast<size_t>(target.size()));
        if (length <= 0 || length >= target.size())
            return path;
        target.truncate(length);
        // Joined, not cleaned: ".." after a linked folder is the kernel's to resolve.
        path = target.startsWith('/') ? target : path.left(path.lastIndexOf('/') + 1) + target;
    }
    return path;  // a loop: stat then says so
}

/// Makes a new, empty file beside `target` that no one else has opened, named
/// after it but hidden. Returns its descriptor, or -1 with errno set.
int makeFileBeside(const QByteArray& target, mode_t mode, QByteArray* made)
{
    const qsizetype slash = target.lastIndexOf('/');
    // Cut long names so that the new name stays within the system's limit.
    const QByteArray stem = target.left(slash + 1) + '.' + target.mid(slash + 1).left(200) + '.';
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    for (int attempt = 0; attempt < 100; ++attempt) {
        QByteArray name = stem;
        for (int i = 0; i < 6; ++i)
            name += kLetters[QRandomGenerator::global()->bounded(static_cast<int>(sizeof kLetters - 1))];
        const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
        if (fd >= 0) {
            *made = std::move(name);
            return fd;
        }
        if (errno != EEXIST)
            return -1;
    }
    return -1;
}

/// Gives the new file the old one's owner, group and mode. False when the
/// system would not let this user give them.
bool takeOwnerAndMode(int fd, const struct stat& old)
{
    struct stat made {};
    if (::fstat(fd, &made) != 0)
        return false;
    if ((made.st_uid != old.st_uid || made.st_gid != old.st_gid) && ::fchown(fd, old.st_uid, old.st_gid) != 0)
        return false;
    // After the owner: changing it clears the set-user-ID and set-group-ID bits.
    return ::fchmod(fd, old.st_mode & 07777) == 0;
}

bool writeAll(int fd, const QByteArray& bytes, off_t offset)
{
    qsizetype written = 0;
    while (written < bytes.size()) {
        const ssize_t count = ::pwrite(fd, bytes.constData() + written, static_cast<size_t>(bytes.size() - written),
                                       offset + written);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0) {
            if (count == 0)
                errno = ENOSPC;
            return false;
        }
        written += count;
    }
    return true;
}

bool readAll(int fd, qint64 size, QByteArray* bytes)
{
    bytes->resize(size);
    qint64 filled = 0;
    while (filled < size) {
        const ssize_t count = ::pread(fd, bytes->data() + filled, static_cast<size_t>(size - filled), filled);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            return false;
        if (count == 0)
            break;  // shorter than it was a moment ago: the rest is not there to keep
        filled += count;
    }
    bytes->truncate(filled);
    return true;
}

/// Flushes the file to the disk, where a full disk or a quota on a network
/// file system may only now refuse it.
bool syncToDisk(int fd)
{
    return ::fsync(fd) == 0 || errno == EINVAL;
}

}  // namespace

FileReplacement::FileReplacement(int fd, QByteArray temporary, QByteArray target, mode_t mode)
    : fd_(fd), temporary_(std::move(temporary)), target_(std::move(target)), mode_(mode)
{
}

FileReplacement::~FileReplacement()
{
    release();
}

void FileReplacement::release()
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    if (!temporary_.isEmpty())
        ::unlink(temporary_.constData());
    temporary_.clear();
}

std::unique_ptr<FileReplacement> FileReplacement::prepare(const QString& path, QString* whyNot)
{
    const auto refuse = [whyNot](const QString& reason) {
        if (whyNot)
            *whyNot = reason;
        return nullptr;
    };
    if (path.isEmpty())
        return refuse(systemMessage(ENOENT));
    const QByteArray target = followLinks(QFile::encodeName(path));
    QByteArray temporary;

    struct stat old {};
    if (::stat(target.constData(), &old) != 0) {
        if (errno != ENOENT)
            return refuse(systemMessage(errno));
        // Nothing there yet: the file appears whole, or not at all.
        const int fd = makeFileBeside(target, 0666, &temporary);
        if (fd < 0)
            return refuse(systemMessage(errno));
        return std::unique_ptr<FileReplacement>(new FileReplacement(fd, temporary, target, 0));
    }
    if (const QString reason = reasonNotAPlainFile(old.st_mode); !reason.isEmpty())
        return refuse(reason);
    if (::faccessat(AT_FDCWD, target.constData(), W_OK, AT_EACCESS) != 0)
        return refuse(QStringLiteral("Existing file %1 is not writable").arg(path));

    const mode_t mode = old.st_mode & 07777;
    if (old.st_nlink == 1) {
        const int fd = makeFileBeside(target, 0600, &temporary);
        if (fd >= 0 && takeOwnerAndMode(fd, old))
            return std::unique_ptr<FileReplacement>(new FileReplacement(fd, temporary, target, mode));
        if (fd >= 0) {
            ::close(fd);
            ::unlink(temporary.constData());
        }
    }

    // In place. Opened for reading too, to keep the old bytes.
    const int fd = openSeenPlainFile(target, O_RDWR, old, whyNot);
    if (fd < 0)
        return nullptr;
    return std::unique_ptr<FileReplacement>(new FileReplacement(fd, QByteArray(), target, mode));
}

bool FileReplacement::commit(const QByteArray& bytes)
{
    if (fd_ < 0) {
        fail(systemMessage(EBADF));
        return false;
    }
    const bool done = temporary_.isEmpty() ? writeInPlace(bytes) : writeAndRename(bytes);
    release();
    return done;
}

bool FileReplacement::writeAndRename(const QByteArray& bytes)
{
    if (!writeAll(fd_, bytes, 0) || !syncToDisk(fd_)) {
        fail(systemMessage(errno));
        return false;
    }
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0 || ::rename(temporary_.constData(), target_.constData()) != 0) {
        fail(systemMessage(errno));
        return false;
    }
    temporary_.clear();
    return true;
}

bool FileReplacement::writeInPlace(const QByteArray& bytes)
{
    // Only what the new bytes will cover has to be kept: the rest of a longer
    // old file is cut off last, once all of them are on the disk. (Only a disk
    // that fails in the flush right after that cut loses the old rest.)
    struct stat old {};
    QByteArray kept;
    if (::fstat(fd_, &old) != 0 || !readAll(fd_, std::min<qint64>(old.st_size, bytes.size()), &kept)) {
        fail(systemMessage(errno));
        return false;
    }
    const bool written = writeAll(fd_, bytes, 0) && syncToDisk(fd_)
                         && (bytes.size() >= old.st_size || (::ftruncate(fd_, bytes.size()) == 0 && syncToDisk(fd_)));
    if (!written) {
        fail(systemMessage(errno));
        putBack(kept, old.st_size);
    }
    keepMode();
    return written;
}

void FileReplacement::putBack(const QByteArray& kept, qint64 oldSize)
{
    struct stat now {};
    const bool putBack = writeAll(fd_, kept, 0)
                         && (::fstat(fd_, &now) != 0 || now.st_size <= oldSize || ::ftruncate(fd_, oldSize) == 0)
                         && syncToDisk(fd_);
    if (!putBack)
        error_ += QStringLiteral(". Its old text could not be put back either: ") + systemMessage(errno);
}

void FileReplacement::keepMode()
{
    // A write by a user who may not keep them clears the set-user-ID and
    // set-group-ID bits; the owner may give them back.
    struct stat now {};
    if (::fstat(fd_, &now) == 0 && (now.st_mode & 07777) != mode_)
        static_cast<void>(::fchmod(fd_, mode_));
}

void FileReplacement::fail(const QString& reason)
{
    if (error_.isEmpty())
        error_ = reason;
}

}  // namespace gui
