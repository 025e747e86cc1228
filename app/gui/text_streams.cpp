#include "app/gui/text_streams.h"

#include "app/gui/text_codec.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

#include <cerrno>
#include <system_error>

namespace gui {

namespace {

QString systemMessage(int error)
{
    return QString::fromStdString(std::generic_category().message(error));
}

/// Why no file can be opened at this path, before trying: it names nothing, or
/// a folder. Empty when it may name a file.
QString reasonNoFileIsThere(const QString& path)
{
    if (path.isEmpty())
        return systemMessage(ENOENT);
    if (QFileInfo(path).isDir())
        return systemMessage(EISDIR);
    return {};
}

}  // namespace

std::unique_ptr<TextInputStream> TextInputStream::Open(const FolderItemPtr& item, QString* whyNot)
{
    QFile file(item ? item->path() : QString());
    QString reason = reasonNoFileIsThere(file.fileName());
    if (reason.isEmpty() && file.open(QIODevice::ReadOnly))
        return std::make_unique<TextInputStream>(decodeText(file.readAll()));
    if (reason.isEmpty())
        reason = file.errorString();
    if (whyNot)
        *whyNot = reason;
    return nullptr;
}

QString TextInputStream::ReadLine()
{
    // The mark tells the encoding; it is not the start of a line's text.
    if (position_ == 0 && text_.startsWith(QChar::ByteOrderMark))
        position_ = 1;
    const qsizetype start = position_;
    qsizetype end = start;
    while (end < text_.size() && text_.at(end) != u'\r' && text_.at(end) != u'\n')
        ++end;
    position_ = end;
    if (position_ < text_.size()) {
        const bool crlf = text_.at(position_) == u'\r' && position_ + 1 < text_.size()
                          && text_.at(position_ + 1) == u'\n';
        position_ += crlf ? 2 : 1;
    }
    return text_.mid(start, end - start);
}

QString TextInputStream::ReadLineUtf8OrLatin1()
{
    // decodeText kept every byte that is not UTF-8 as a code point of its own,
    // so the line's own bytes come back whole, and they alone decide.
    const QByteArray bytes = encodeText(ReadLine());
    // ReadLine has dropped the file's own mark; one that starts a later line
    // is text, as ReadLine gives it.
    QStringDecoder utf8(QStringConverter::Utf8,
                        QStringConverter::Flag::ConvertInitialBom | QStringConverter::Flag::Stateless);
    QString text = utf8.decode(bytes);
    return utf8.hasError() ? QString::fromLatin1(bytes) : text;
}

QString TextInputStream::ReadAll()
{
    QString rest = text_.mid(position_);
    position_ = text_.size();
    return rest;
}

void TextInputStream::Close()
{
    text_.clear();
    position_ = 0;
}

TextOutputStream::TextOutputStream(std::unique_ptr<QSaveFile> file) : file_(std::move(file)) {}

TextOutputStream::~TextOutputStream()
{
    Close();
}

std::unique_ptr<TextOutputStream> TextOutputStream::Create(const FolderItemPtr& item, QString* whyNot)
{
    auto file = std::make_unique<QSaveFile>(item ? item->path() : QString());
    file->setDirectWriteFallback(true);
    QString reason = reasonNoFileIsThere(file->fileName());
    if (reason.isEmpty() && file->open(QIODevice::WriteOnly))
        return std::make_unique<TextOutputStream>(std::move(file));
    if (reason.isEmpty())
        reason = file->errorString();
    if (whyNot)
        *whyNot = reason;
    return nullptr;
}

void TextOutputStream::Write(const QString& text)
{
    if (!file_ || !error_.isEmpty())
        return;
    // A disk that fills up takes part of a write: a short count is a failed
    // write, and the file must then not replace the old one.
    const QByteArray bytes = encodeText(text);
    errno = 0;
    if (file_->write(bytes) != bytes.size())
        fail();
}

void TextOutputStream::WriteLine(const QString& text)
{
    Write(text + u'\n');
}

void TextOutputStream::fail()
{
    // Qt reports a write that the system took only part of without a reason;
    // the system's own is still in errno, from the attempt to write the rest.
    const int systemError = errno;
    error_ = systemError != 0 ? systemMessage(systemError) : file_->errorString();
    file_->cancelWriting();
}

bool TextOutputStream::Close()
{
    if (!file_)
        return false;
    // What is still buffered goes out now, where a short write is seen;
    // commit() then refuses, and removes the temporary file, when any write
    // failed.
    errno = 0;
    if (error_.isEmpty() && !file_->flush())
        fail();
    const bool committed = file_->commit();
    if (!committed && error_.isEmpty())
        error_ = file_->errorString();
    file_.reset();
    return committed;
}

}  // namespace gui
