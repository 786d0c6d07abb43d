#pragma once
#include <memory>
#include <string>

namespace EngineCore {

class PackFile;

// Every mounted pack by its path, spelled exactly as it was mounted.
class PackFileStorage {
public:
    static PackFileStorage& Instance();
    ~PackFileStorage();
    PackFileStorage(const PackFileStorage&) = delete;
    PackFileStorage& operator=(const PackFileStorage&) = delete;

    // false, storing nothing, when the path is already present.
    bool AddFile(const std::string& path, const std::shared_ptr<PackFile>& pack);
    bool GetFile(const std::string& path, std::shared_ptr<PackFile>& pack) const;
    bool IsExist(const std::string& path) const;
    bool RemoveFile(const std::string& path);

private:
    PackFileStorage();
    struct Impl;
    std::unique_ptr<Impl> _impl;
};

}  // namespace EngineCore
