#pragma once
#include <cstdint>
#include <list>
#include <memory>
#include <string>

#include "engine/FileSystem/CachedFile.h"
#include "engine/FileSystem/FileInfo.h"

namespace EngineCore {

class Resource;

// The process-wide index of game content: data folders and mounted packs merged
// into one map from a relative name ("a/b/c.png") to where its newest copy lives.
// Files read by name stay cached until FreeCache.
//
// Indexing is deterministic: a copy replaces another unless it is older, dates
// compared to the second (a file's fraction of a second is not kept). Folder
// entries are visited in byte-wise sorted order, so among copies with equal dates
// the one that sorts (or is mounted) last wins.
// The index, the cache and the queues are guarded by an internal lock (the
// loader thread and the main thread use them at once); the lock is never held
// while calling into the resource manager or while reading file data.
class FileSystem {
public:
    static FileSystem& Instance();
    ~FileSystem();
    FileSystem(const FileSystem&) = delete;
    FileSystem& operator=(const FileSystem&) = delete;

    // Indexes root (or root/sub) recursively; keys are relative to root.
    void AddDirectory(const std::string& root, const char* sub = nullptr);
    // Mounts the pack root/name once and indexes its entries. A pack that is refused is
    // logged with the reason, once per pack and reason; an optional pack that does not
    // exist is passed over without a word.
    void AddResourceFile(const std::string& name, const std::string& root, bool optional = false);

    bool GetFileInfo(const std::string& name, FileInfo& info) const;
    bool GetFile(const std::string& name, std::shared_ptr<CachedFile>& file) const;
    // Every indexed name below directory (any depth); false when there is none.
    bool GetFileListFromDirectory(const std::string& directory, std::list<std::string>& files) const;

    void PrecacheFile(const std::string& name);
    // Reads every indexed name containing text (ASCII case-insensitive) into the cache.
    void PrecacheFolder(const std::string& text, bool freeFirst);
    // Queues an indexed name for the background precache.
    bool PrecacheFileAcync(const std::string& name);
    void FreeCache();

    // The documents folder joined with subPath ("\\" taken as "/"), created when missing.
    bool GetUserDataDirectory(const std::string& subPath, std::string& path) const;
    // Forgets name (or path when name is null) and deletes the disk file at path.
    bool UnlinkFile(const std::string& path, const char* name = nullptr);
    // Replaces the file at path atomically: a temporary file in the same folder is
    // written and synced, then renamed over path, and the folder is synced. A crash
    // at any moment leaves either the old file or the new one.
    bool CreateFileW(const std::string& path, const void* data, uint32_t size);

    // Time slice of the background precache per frame, in seconds.
    static constexpr float kPrecacheSlice = 0.05f;

protected:
    friend class ResourceManager;

    void AddDiskFile(const std::string& name, const std::string& root);
    // The background precache step, once per frame; the argument is not used.
    void Update(float seconds);
    // Drops the file system's shares of precached resources (at shutdown, so that
    // they die while the objects they refer to still exist).
    void DropPrecachedResources();

private:
    FileSystem();
    struct Impl;
    std::unique_ptr<Impl> _impl;
};

}  // namespace EngineCore
