#include "engine/FileSystem/PackFileStorage.h"

#include <map>
#include <mutex>

#include "engine/FileSystem/PackFile.h"

namespace EngineCore {

struct PackFileStorage::Impl {
    mutable std::mutex mutex;
    std::map<std::string, std::shared_ptr<PackFile>> packs;
};

PackFileStorage::PackFileStorage() : _impl(new Impl) {}
PackFileStorage::~PackFileStorage() = default;

PackFileStorage& PackFileStorage::Instance()
{
    static PackFileStorage instance;
    return instance;
}

bool PackFileStorage::AddFile(const std::string& path, const std::shared_ptr<PackFile>& pack)
{
    std::lock_guard<std::mutex> lock(_impl->mutex);
    return _impl->packs.emplace(path, pack).second;
}

bool PackFileStorage::GetFile(const std::string& path, std::shared_ptr<PackFile>& pack) const
{
    std::lock_guard<std::mutex> lock(_impl->mutex);
    auto it = _impl->packs.find(path);
    if (it == _impl->packs.end())
        return false;
    pack = it->second;
    return true;
}

bool PackFileStorage::IsExist(const std::string& path) const
{
    std::lock_guard<std::mutex> lock(_impl->mutex);
    return _impl->packs.count(path) != 0;
}

bool PackFileStorage::RemoveFile(const std::string& path)
{
    std::shared_ptr<PackFile> dropped;
    std::lock_guard<std::mutex> lock(_impl->mutex);
    auto it = _impl->packs.find(path);
    if (it == _impl->packs.end())
        return false;
    dropped.swap(it->second);
    _impl->packs.erase(it);
    return true;
}

}  // namespace EngineCore
