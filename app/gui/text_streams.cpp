#include "app/gui/text_streams.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

namespace gui {

namespace {

QString decode(const QByteArray& bytes)
{
    // Keep a byte-order mark as a character, so that a file read and written
    // back is the same file. Stateless: a sequence cut off at the end is an
    // error too, not a character silently dropped.
    QStringDecoder utf8(QStringConverter::Utf8,
                        QStringConverter::Flag::ConvertInitialBom | QStringConverter::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        return QString::fromLatin1(bytes);
    return text;
}

}  // namespace

std::unique_ptr<TextInputStream> TextInputStream::Open(const FolderItemPtr& item)
{
    if (!item || item->path().isEmpty())
        return nullptr;
    QFile file(item->path());
    if (QFileInfo(file).isDir() || !file.open(QIODevice::ReadOnly))
        return nullptr;
    return std::make_unique<TextInputStream>(decode(file.readAll()));
}

QString TextInputStream::ReadLine()
{
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

std::unique_ptr<TextOutputStream> TextOutputStream::Create(const FolderItemPtr& item)
{
    if (!item || item->path().isEmpty() || QFileInfo(item->path()).isDir())
        return nullptr;
    auto file = std::make_unique<QSaveFile>(item->path());
    if (!file->open(QIODevice::WriteOnly))
        return nullptr;
    return std::make_unique<TextOutputStream>(std::move(file));
}

void TextOutputStream::Write(const QString& text)
{
    if (!file_)
        return;
    // A disk that fills up takes part of a write and reports no error for it:
    // a short count is a failed write, and the file must then not replace the
    // old one.
    const QByteArray bytes = text.toUtf8();
    if (file_->write(bytes) != bytes.size())
        file_->cancelWriting();
}

void TextOutputStream::WriteLine(const QString& text)
{
    Write(text + u'\n');
}

bool TextOutputStream::Close()
{
    if (!file_)
        return false;
    // What is still buffered goes out now, where a short write is seen;
    // commit() then refuses, and removes the temporary file, when any write
    // failed.
    if (!file_->flush())
        file_->cancelWriting();
    const bool committed = file_->commit();
    file_.reset();
    return committed;
}

}  // namespace gui
