#include "app/gui/file_type.h"

#include <map>

namespace gui {

namespace {

// The registry refers to types without owning them: a type is registered for as
// long as its owner keeps it. A released type leaves an expired entry, which a
// lookup finds empty; its destructor never touches the registry, which may
// already be gone when a type still held by a global ends at exit.
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

}  // namespace gui
