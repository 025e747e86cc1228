#include "app/gui/file_type.h"

#include <map>

namespace gui {

namespace {

// The registry refers to types without owning them: a type is registered for as
// long as its owner keeps it.
std::map<QString, std::weak_ptr<FileType>>& registry()
{
    static std::map<QString, std::weak_ptr<FileType>> types;
    return types;
}

}  // namespace

QString FileType::toText()
{
    if (!registered_) {
        registry()[Name] = weak_from_this();
        registered_ = true;
    }
    return Name;
}

FileTypePtr FileType::registered(const QString& name)
{
    const auto found = registry().find(name);
    return found == registry().end() ? nullptr : found->second.lock();
}

FileType::~FileType()
{
    if (!registered_)
        return;
    const auto found = registry().find(Name);
    if (found != registry().end() && found->second.expired())
        registry().erase(found);
}

}  // namespace gui
