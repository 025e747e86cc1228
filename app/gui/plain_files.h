#pragma once

#include <QByteArray>
#include <QString>

#include <sys/stat.h>
#include <sys/types.h>

namespace gui {

/// The most a text stream reads: far more than any routine or BASIC listing,
/// and little enough that the bytes, the text decoded from them and the text
/// area that shows it never run the application out of memory.
inline constexpr qint64 kLargestTextFileBytes = 16 * 1024 * 1024;

/// The system's words for an errno value ("Permission denied").
QString systemMessage(int error);

/// Why a node of this type (the st_mode of a stat) is neither read nor written
/// as a document: "Is a directory", or which other kind of node it is. Empty
/// for a plain file.
QString reasonNotAPlainFile(mode_t mode);

/// Opens the plain file at `path`, with `flags` (O_RDONLY or O_RDWR), that a
/// stat has just found as `seen`. Opens without blocking, so that a named pipe
/// put in its place meanwhile holds nothing up, and refuses whatever is not
/// that file now. Returns the descriptor, in blocking mode again, or -1 with
/// the reason in `whyNot`.
int openSeenPlainFile(const QByteArray& path, int flags, const struct stat& seen, QString* whyNot);

/// Reads the plain file at `path` whole, links followed. A folder, a named pipe,
/// a socket or a device is refused before it is opened, so that nothing blocks
/// or reads without end; so is a file of more than `limit` bytes. Returns false,
/// with the reason in `whyNot`, when the file is refused or cannot be read.
bool readPlainFile(const QString& path, qint64 limit, QByteArray* bytes, QString* whyNot);

}  // namespace gui
