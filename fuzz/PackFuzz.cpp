// Resource packs: mounting, the name block, the records and every entry's data.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "engine/FileSystem/CachedFile.h"
#include "engine/FileSystem/FileInfo.h"
#include "engine/FileSystem/PackFile.h"
#include "engine/FileSystem/PackFileStorage.h"
#include "fuzz/ScratchFolder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static FuzzSupport::ScratchFolder folder;
    const std::string path = folder.Write("fuzz.resources", data, size);

    auto pack = std::make_shared<EngineCore::PackFile>();
    if (!pack->Create(path))
        return 0;
    EngineCore::PackFileStorage& storage = EngineCore::PackFileStorage::Instance();
    storage.AddFile(path, pack);

    const int count = pack->GetNumFiles();
    if (count <= 0)
        std::abort();  // a mounted pack always has entries
    unsigned sum = 0;
    for (int i = -1; i <= count; ++i) {
        std::string name;
        EngineCore::SYSTEMTIME date;
        const bool named = pack->GetFileName(i, name);
        if (named != (i >= 0 && i < count))
            std::abort();
        pack->GetFileDateTime(i, date);
        std::shared_ptr<EngineCore::CachedFile> file;
        if (!pack->GetFile(i, EngineCore::FileInfo(), file))
            continue;
        if (!file || file->GetSize() < 0 || (file->GetSize() > 0) != (file->GetData() != nullptr))
            std::abort();
        // Touch every byte handed out, so that a short or stale buffer shows.
        for (int b = 0; b < file->GetSize(); ++b)
            sum += file->GetData()[b];
        if (named && pack->GetFileIndex(name) < 0)
            std::abort();
    }
    std::shared_ptr<EngineCore::PackFile> stored;
    if (!storage.GetFile(path, stored) || stored != pack || !storage.RemoveFile(path))
        std::abort();
    return static_cast<int>(sum & 0);
}
