#pragma once
#include <functional>
#include <memory>

#include "engine/FileSystem/CachedFile.h"
#include "engine/FileSystem/FileInfo.h"

namespace EngineCore {

// Reads one indexed file into a CachedFile: at once (LoadSync), or a disk file in
// 1024-byte chunks within a time slice per call (LoadAsync, then Update).
// Copying moves the open handle to the target.
class FileLoader {
public:
    FileLoader() = default;
    ~FileLoader();
    FileLoader(const FileLoader& other);
    FileLoader& operator=(const FileLoader& other);

    bool LoadSync(const FileInfo& info);
    bool LoadAsync(const FileInfo& info, float seconds);
    bool Update(float seconds);

    bool IsCompleted() const { return _completed; }
    const std::shared_ptr<CachedFile>& GetFile() const { return _file; }
    const FileInfo& GetFileInfo() const { return _info; }

    // The clock that bounds time slices; an empty function restores SystemTimer.
    // Lets tests drive the slices deterministically.
    static void SetClock(const std::function<float()>& clock);

    static constexpr int kChunkSize = 1024;

protected:
    bool LoadAcync(float seconds);
    bool LoadSyncFromPack();

private:
    // Opens the disk file and allocates its CachedFile; false when it cannot be opened or sized.
    bool OpenDiskFile();
    void CloseHandle();

    int _loaded = 0;
    bool _completed = false;
    int _total = 0;
    FileInfo _info;
    std::shared_ptr<CachedFile> _file;
    mutable int _handle = -1;
};

}  // namespace EngineCore
