#include "app/gui/text_streams.h"

#include "app/gui/file_replacement.h"
#include "app/gui/plain_files.h"
#include "app/gui/text_codec.h"

namespace gui {

std::unique_ptr<TextInputStream> TextInputStream::Open(const FolderItemPtr& item, QString* whyNot)
{
    QByteArray bytes;
    if (!readPlainFile(item ? item->path() : QString(), kLargestTextFileBytes, &bytes, whyNot))
        return nullptr;
    return std::make_unique<TextInputStream>(decodeText(bytes));
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

QByteArray TextInputStream::ReadLineBytes()
{
    // decodeText kept every byte that is not UTF-8 as a code point of its own,
    // so the line's own bytes come back whole. ReadLine has dropped the file's
    // own mark; one that starts a later line is part of that line.
    return encodeText(ReadLine());
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

TextOutputStream::TextOutputStream(std::unique_ptr<FileReplacement> file) : file_(std::move(file)) {}

TextOutputStream::~TextOutputStream()
{
    Close();
}

std::unique_ptr<TextOutputStream> TextOutputStream::Create(const FolderItemPtr& item, QString* whyNot)
{
    auto file = FileReplacement::prepare(item ? item->path() : QString(), whyNot);
    if (!file)
        return nullptr;
    return std::make_unique<TextOutputStream>(std::move(file));
}

void TextOutputStream::Write(const QString& text)
{
    if (file_)
        bytes_ += encodeText(text);
}

void TextOutputStream::WriteLine(const QString& text)
{
    Write(text + u'\n');
}

bool TextOutputStream::Close()
{
    if (!file_)
        return false;
    // Written whole, at once: the file is only ever the old bytes or the new.
    const bool written = file_->commit(bytes_);
    if (!written)
        error_ = file_->errorString();
    file_.reset();
    bytes_.clear();
    return written;
}

QString writeWholeTextFile(const FolderItemPtr& item, const QString& text)
{
    QString whyNot;
    auto stream = TextOutputStream::Create(item, &whyNot);
    if (!stream)
        return whyNot;
    stream->Write(text);
    return stream->Close() ? QString() : stream->errorString();
}

}  // namespace gui
