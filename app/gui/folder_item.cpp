#include "app/gui/folder_item.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <filesystem>
#include <system_error>

namespace gui {

FolderItem::FolderItem(QString path) : path_(std::move(path)) {}

FolderItemPtr FolderItem::fromPath(const QString& path)
{
    if (!QDir::isAbsolutePath(path))
        return std::make_shared<FolderItem>(QString());
    return std::make_shared<FolderItem>(QDir::cleanPath(path));
}

FolderItemPtr FolderItem::fromShellPath(const QString& shellPath)
{
    return fromPath(shellUnquote(shellPath));
}

FolderItemPtr FolderItem::Child(const QString& name) const
{
    if (path_.isEmpty())
        return std::make_shared<FolderItem>(QString());
    return std::make_shared<FolderItem>(path_ == QLatin1String("/") ? path_ + name : path_ + u'/' + name);
}

FolderItemPtr FolderItem::Parent() const
{
    if (path_.isEmpty())
        return std::make_shared<FolderItem>(QString());
    const qsizetype slash = path_.lastIndexOf(u'/');
    return std::make_shared<FolderItem>(slash <= 0 ? QStringLiteral("/") : path_.left(slash));
}

bool FolderItem::Exists() const
{
    return !path_.isEmpty() && QFileInfo::exists(path_);
}

QString FolderItem::Name() const
{
    return path_.mid(path_.lastIndexOf(u'/') + 1);
}

QString FolderItem::ShellPath() const
{
    return shellQuote(path_);
}

bool FolderItem::sameFileAs(const FolderItem& other) const
{
    if (path_ == other.path_)
        return !path_.isEmpty();
    std::error_code error;
    const bool same = std::filesystem::equivalent(QFile::encodeName(path_).toStdString(),
                                                  QFile::encodeName(other.path_).toStdString(), error);
    return same && !error;
}

bool FolderItem::CreateAsFolder() const
{
    if (path_.isEmpty())
        return false;
    QDir().mkdir(path_);
    return QFileInfo(path_).isDir();
}

bool FolderItem::Delete() const
{
    if (path_.isEmpty())
        return false;
    const QFileInfo info(path_);
    if (info.isDir() && !info.isSymLink())
        return QDir().rmdir(path_);
    return QFile::remove(path_);
}

bool isSafeShellWord(const QString& text)
{
    if (text.isEmpty())
        return false;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        const bool safe = (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9')
                          || u == '_' || u == '-' || u == '.' || u == '/' || u == '+' || u == ','
                          || u == ':' || u == '@' || u == '%';
        if (!safe)
            return false;
    }
    return true;
}

QString shellQuote(const QString& text)
{
    if (isSafeShellWord(text))
        return text;
    // Inside single quotes the shell takes every character literally, except the
    // single quote itself, which has to close the quote, be escaped, and reopen it.
    QString quoted = text;
    quoted.replace(u'\'', QLatin1String("'\\''"));
    return u'\'' + quoted + u'\'';
}

QString shellUnquote(const QString& word)
{
    QString text;
    text.reserve(word.size());
    enum class Mode { Plain, Single, Double } mode = Mode::Plain;
    for (qsizetype i = 0; i < word.size(); ++i) {
        const QChar c = word.at(i);
        switch (mode) {
        case Mode::Plain:
            if (c == u'\'')
                mode = Mode::Single;
            else if (c == u'"')
                mode = Mode::Double;
            else if (c == u'\\' && i + 1 < word.size() && word.at(i + 1) == u'\n')
                ++i;  // A backslash-newline joins lines and stands for nothing.
            else if (c == u'\\' && i + 1 < word.size())
                text += word.at(++i);
            else
                text += c;
            break;
        case Mode::Single:
            if (c == u'\'')
                mode = Mode::Plain;
            else
                text += c;
            break;
        case Mode::Double:
            if (c == u'"')
                mode = Mode::Plain;
            else if (c == u'\\' && i + 1 < word.size() && word.at(i + 1) == u'\n')
                ++i;
            else if (c == u'\\' && i + 1 < word.size()
                     && QStringView(u"$`\"\\").contains(word.at(i + 1)))
                text += word.at(++i);
            else
                text += c;
            break;
        }
    }
    return text;
}

}  // namespace gui
