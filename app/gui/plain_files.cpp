#include "app/gui/plain_files.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace gui {

namespace {

QString tooLarge(qint64 limit)
{
    return QStringLiteral("File too large: it holds more than %1 MiB, the most this application reads")
        .arg(limit / (1024 * 1024));
}

/// Reads from the descriptor to the end of the file, which may have grown since
/// it was found `expected` bytes long. Returns why it could not, or empty.
QString readToTheEnd(int fd, qint64 expected, qint64 limit, QByteArray* bytes)
{
    // One byte past the limit tells a file that has grown too large.
    QByteArray read(std::min<qint64>(std::max<qint64>(expected, 0), limit) + 1, Qt::Uninitialized);
    qint64 filled = 0;
    while (true) {
        if (filled == read.size()) {
            if (filled > limit)
                return tooLarge(limit);
            read.resize(std::min<qint64>(read.size() * 2, limit + 1));
        }
        const ssize_t got = ::read(fd, read.data() + filled, static_cast<size_t>(read.size() - filled));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return systemMessage(errno);
        if (got == 0)
            break;
        filled += got;
    }
    read.truncate(filled);
    *bytes = std::move(read);
    return {};
}

}  // namespace

QString systemMessage(int error)
{
    return QString::fromStdString(std::generic_category().message(error));
}

QString reasonNotAPlainFile(mode_t mode)
{
    if (S_ISREG(mode))
        return {};
    if (S_ISDIR(mode))
        return systemMessage(EISDIR);
    if (S_ISFIFO(mode))
        return QStringLiteral("It is a named pipe (FIFO), not a plain file");
    if (S_ISSOCK(mode))
        return QStringLiteral("It is a socket, not a plain file");
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return QStringLiteral("It is a device, not a plain file");
    return QStringLiteral("It is not a plain file");
}

int openSeenPlainFile(const QByteArray& path, int flags, const struct stat& seen, QString* whyNot)
{
    // Without O_NONBLOCK, a pipe put in the file's place since the stat would
    // hold the open until some writer came.
    const int fd = ::open(path.constData(), flags | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    QString reason;
    struct stat opened {};
    if (fd < 0 || ::fstat(fd, &opened) != 0)
        reason = systemMessage(errno);
    else if (opened.st_dev != seen.st_dev || opened.st_ino != seen.st_ino)
        reason = QStringLiteral("Another file took its place as it was opened");
    else if (::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0)
        reason = systemMessage(errno);
    if (reason.isEmpty())
        return fd;
    if (fd >= 0)
        ::close(fd);
    if (whyNot)
        *whyNot = reason;
    return -1;
}

bool readPlainFile(const QString& path, qint64 limit, QByteArray* bytes, QString* whyNot)
{
    const auto refuse = [whyNot](const QString& reason) {
        if (whyNot)
            *whyNot = reason;
        return false;
    };
    if (path.isEmpty())
        return refuse(systemMessage(ENOENT));
    const QByteArray name = QFile::encodeName(path);
    struct stat node {};
    if (::stat(name.constData(), &node) != 0)
        return refuse(systemMessage(errno));
    if (const QString reason = reasonNotAPlainFile(node.st_mode); !reason.isEmpty())
        return refuse(reason);
    if (node.st_size > limit)
        return refuse(tooLarge(limit));

    const int fd = openSeenPlainFile(name, O_RDONLY, node, whyNot);
    if (fd < 0)
        return false;
    const QString reason = readToTheEnd(fd, node.st_size, limit, bytes);
    ::close(fd);
    return reason.isEmpty() || refuse(reason);
}

}  // namespace gui
