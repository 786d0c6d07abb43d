#include "engine/FileSystem/FileLoader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <mutex>

#include "engine/FileSystem/DiskPath.h"
#include "engine/FileSystem/PackFile.h"
#include "engine/FileSystem/PackFileStorage.h"
#include "engine/System/SystemTimer.h"

namespace EngineCore {

namespace {

std::mutex g_clockMutex;
std::function<float()> g_clock;

float Now()
{
    std::function<float()> clock;
    {
        std::lock_guard<std::mutex> lock(g_clockMutex);
        clock = g_clock;
    }
    return clock ? clock() : SystemTimer::Instance().GetTime();
}

// Reads exactly count bytes at offset; false on an error or a short read (the
// file shrank since it was sized).
bool ReadExactly(int handle, unsigned char* buffer, size_t count, off_t offset)
{
    while (count > 0) {
        const ssize_t got = pread(handle, buffer, count, offset);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        buffer += got;
        count -= static_cast<size_t>(got);
        offset += got;
    }
    return true;
}

}  // namespace

void FileLoader::SetClock(const std::function<float()>& clock)
{
    std::lock_guard<std::mutex> lock(g_clockMutex);
    g_clock = clock;
}

FileLoader::~FileLoader()
{
    CloseHandle();
}

FileLoader::FileLoader(const FileLoader& other)
    : _loaded(other._loaded),
      _completed(other._completed),
      _total(other._total),
      _info(other._info),
      _file(other._file),
      _handle(other._handle)
{
    other._handle = -1;
}

FileLoader& FileLoader::operator=(const FileLoader& other)
{
    if (this != &other) {
        CloseHandle();
        _loaded = other._loaded;
        _completed = other._completed;
        _total = other._total;
        _info = other._info;
        _file = other._file;
        _handle = other._handle;
        other._handle = -1;
    }
    return *this;
}

void FileLoader::CloseHandle()
{
    if (_handle >= 0) {
        close(_handle);
        _handle = -1;
    }
}

bool FileLoader::OpenDiskFile()
{
    CloseHandle();
    const std::string path = ResolveDiskPath(_info.GetDiskPath() + "/" + _info.GetFileName());
    const int handle = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (handle < 0)
        return false;
    struct stat st {};
    // Only regular files: a pipe or device would block or never end.
    if (fstat(handle, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > INT_MAX) {
        close(handle);
        return false;
    }
    _handle = handle;
    _total = static_cast<int>(st.st_size);
    _file = std::make_shared<CachedFile>();
    _file->Create(_info, _total);
    return true;
}

bool FileLoader::LoadSync(const FileInfo& info)
{
    _loaded = 0;
    _completed = false;
    _total = 0;
    _info = info;
    _file.reset();
    if (info.GetType() == FileInfo::TypePack)
        return LoadSyncFromPack();
    if (info.GetType() != FileInfo::TypeDisk)
        return false;
    if (!OpenDiskFile())
        return false;
    const bool ok = ReadExactly(_handle, _file->GetData(), static_cast<size_t>(_total), 0);
    CloseHandle();
    if (!ok) {
        _file.reset();
        return false;
    }
    _loaded = _total;
    _completed = true;
    return true;
}

bool FileLoader::LoadSyncFromPack()
{
    std::shared_ptr<PackFile> pack;
    if (!PackFileStorage::Instance().GetFile(_info.GetPackName(), pack) || !pack)
        return false;
    std::shared_ptr<CachedFile> file;
    if (!pack->GetFile(_info.GetPackedFileIndex(), _info, file) || !file)
        return false;
    _file = file;
    _total = _loaded = file->GetSize();
    _completed = true;
    return true;
}

bool FileLoader::LoadAsync(const FileInfo& info, float seconds)
{
    _loaded = 0;
    _completed = false;
    _total = 0;
    _info = info;
    _file.reset();
    CloseHandle();
    if (info.GetType() != FileInfo::TypeDisk)
        return LoadSync(info);
    if (!OpenDiskFile())
        return false;
    return LoadAcync(seconds);
}

bool FileLoader::LoadAcync(float seconds)
{
    if (!_file)
        return false;
    const float start = Now();
    if (seconds > 0.0f) {
        for (;;) {
            if (_loaded >= _total)
                break;
            const int chunk = std::min(kChunkSize, _total - _loaded);
            if (_handle < 0 ||
                !ReadExactly(_handle, _file->GetData() + _loaded, static_cast<size_t>(chunk), _loaded))
                return false;
            _loaded += chunk;
            if (!(Now() - start < seconds))
                break;
        }
    }
    if (_loaded >= _total) {
        _completed = true;
        CloseHandle();
    }
    return true;
}

bool FileLoader::Update(float seconds)
{
    switch (_info.GetType()) {
    case FileInfo::TypeDisk:
        return _completed ? true : LoadAcync(seconds);
    case FileInfo::TypePack:
        return _completed ? true : LoadSync(_info);
    default:
        return false;
    }
}

}  // namespace EngineCore
