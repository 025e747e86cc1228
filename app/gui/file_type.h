#pragma once

#include <QString>

#include <memory>

namespace gui {

class FileType;
using FileTypePtr = std::shared_ptr<FileType>;

/// A named document type. The dialogs, given a registered type's name, offer
/// only files with its extension.
class FileType : public std::enable_shared_from_this<FileType> {
public:
    QString Name;
    QString Extensions;  ///< With the leading dot; several are separated by ";".
    QString MacType;
    QString MacCreator;
    QString UTI;

    /// Registers the type under its Name when it is not registered yet, with the
    /// values its fields hold now, and gives back its Name.
    QString toText();
    bool isRegistered() const { return registered_; }

    /// The registered type of that name, or null. Releasing the last
    /// reference to a type withdraws its registration.
    static FileTypePtr registered(const QString& name);

private:
    bool registered_ = false;
};

}  // namespace gui
