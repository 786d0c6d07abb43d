#include "engine/FileSystem/FileSystem.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <exception>
#include <filesystem>
#include <map>
#include <mutex>
#include <set>
#include <system_error>
#include <utility>
#include <vector>

#include "engine/FileSystem/DiskPath.h"
#include "engine/FileSystem/FileLoader.h"
#include "engine/FileSystem/MountedPlaces.h"
#include "engine/FileSystem/PackFile.h"
#include "engine/FileSystem/PackFileStorage.h"
#include "engine/Resources/Resource.h"
#include "engine/Resources/ResourceManager.h"
#include "engine/System/SystemLogger.h"
#include "platform/os/UserFolders.h"

namespace EngineCore {

namespace {

std::string Extension(const std::string& name)
{
    const size_t dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(dot + 1);
}

bool IsSkippedDirectory(const char* name)
{
    static const char* const skipped[] = {".", "..", ".svn", "_FinalGraphics"};
    for (const char* s : skipped)
        if (std::strcmp(name, s) == 0)
            return true;
    return false;
}

bool IsSkippedExtension(const std::string& ext)
{
    static const char* const skipped[] = {"max", "tga", "txt", "bat", "cmd"};
    for (const char* s : skipped)
        if (ext == s)
            return true;
    return false;
}

std::string AsciiLower(std::string text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

int PrecacheResourceType(const std::string& name)
{
    const std::string ext = Extension(name);
    if (ext == "ogg" || ext == "wav")
        return Resource::RT_SOUND_STREAM;
    if (ext == "png" || ext == "jpg")
        return Resource::RT_TEXTURE;
    if (ext == "animation")
        return Resource::RT_ANIMATION;
    return Resource::RT_UNSET;
}

bool WriteAll(int handle, const unsigned char* data, size_t size)
{
    while (size > 0) {
        const ssize_t wrote = write(handle, data, size);
        if (wrote < 0 && errno == EINTR)
            continue;
        if (wrote <= 0)
            return false;
        data += wrote;
        size -= static_cast<size_t>(wrote);
    }
    return true;
}

struct FolderId {
    dev_t device;
    ino_t inode;
    bool operator==(const FolderId& o) const { return device == o.device && inode == o.inode; }
};

// Every folder and pack mounted, once each, in mounting order.
struct MountedPlaces {
    std::mutex mutex;
    std::vector<std::string> folders;
    std::vector<std::string> packs;

    static MountedPlaces& Instance()
    {
        static MountedPlaces places;
        return places;
    }
    static void Add(std::vector<std::string>& list, const std::string& place)
    {
        if (std::find(list.begin(), list.end(), place) == list.end())
            list.push_back(place);
    }
};

std::string JoinPlaces(const std::vector<std::string>& places)
{
    std::string text;
    for (const std::string& place : places)
        text += (text.empty() ? "" : ", ") + place;
    return text.empty() ? "none" : text;
}

// The log line for a name the index holds whose bytes could not be had: the caller's
// error text reads the same as for a name found nowhere.
void LogUnreadable(const FileInfo& info)
{
    std::string line = "File (" + info.GetFileName() + ") ";
    if (info.GetType() == FileInfo::TypePack) {
        std::shared_ptr<PackFile> pack;
        const std::string why = PackFileStorage::Instance().GetFile(info.GetPackName(), pack) && pack
                                    ? pack->GetReadFault(info.GetPackedFileIndex())
                                    : std::string("the pack is no longer mounted");
        line += "is in the pack (" + info.GetPackName() + "), but could not be read: " + why + ".";
    } else {
        line += "is in the data folder (" + info.GetDiskPath() + "), but could not be read (gone, or no longer readable).";
    }
    SystemLogger::Instance().Log(line.c_str());
}

}  // namespace

void LogWhereLookedFor(const std::string& name)
{
    // A name the index holds was found: GetFile logged why it could not be read.
    FileInfo indexed;
    if (FileSystem::Instance().GetFileInfo(name, indexed))
        return;
    MountedPlaces& places = MountedPlaces::Instance();
    std::string line;
    {
        std::lock_guard<std::mutex> lock(places.mutex);
        line = "File (" + name + ") was looked for in the data folders (" + JoinPlaces(places.folders) +
               ") and the packs (" + JoinPlaces(places.packs) + ").";
    }
    SystemLogger::Instance().Log(line.c_str());
}

struct FileSystem::Impl {
    // Recursive: a resource made inside a locked section may read files again on this thread.
    mutable std::recursive_mutex mutex;
    std::map<std::string, FileInfo> index;
    mutable std::map<std::string, std::shared_ptr<CachedFile>> cache;
    std::list<std::string> queue;
    std::shared_ptr<FileLoader> loader;
    std::map<std::string, std::list<std::string>> directories;
    mutable std::map<std::string, std::shared_ptr<Resource>> precached;
    std::string lastPrecachedFolder;
    // Refusal lines already logged: a data folder may be indexed more than once in a run
    // ("Base" is), and its refused packs are refused again each time.
    std::set<std::string> refusalsLogged;
    // One background precache step at a time.
    std::mutex updateMutex;

    // The newest-wins rule; called with the lock held.
    void Store(const FileInfo& info);
    void IndexFolder(const std::string& root, const std::string& sub, std::vector<FolderId>& open,
                     FileSystem& owner);
};

void FileSystem::Impl::Store(const FileInfo& info)
{
    const std::string& name = info.GetFileName();
    auto it = index.find(name);
    if (it != index.end()) {
        if (info < it->second)
            return;
        it->second = info;
    } else {
        index.emplace(name, info);
    }
    for (size_t slash = name.find('/'); slash != std::string::npos; slash = name.find('/', slash + 1))
        directories[name.substr(0, slash)].push_back(name);
}

void FileSystem::Impl::IndexFolder(const std::string& root, const std::string& sub,
                                   std::vector<FolderId>& open, FileSystem& owner)
{
    const std::string folder = sub.empty() ? root : root + "/" + sub;
    struct stat st {};
    if (stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        return;
    // A folder already being walked further up (a symbolic link loop) is not entered again.
    const FolderId id{st.st_dev, st.st_ino};
    if (std::find(open.begin(), open.end(), id) != open.end())
        return;

    std::vector<std::string> entries;
    if (DIR* dir = opendir(folder.c_str())) {
        while (dirent* entry = readdir(dir))
            if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
                entries.emplace_back(entry->d_name);
        closedir(dir);
    } else {
        return;
    }
    // Directory order is not stable on Linux; ties between equal dates depend on it.
    std::sort(entries.begin(), entries.end());

    open.push_back(id);
    for (const std::string& entry : entries) {
        const std::string relative = sub.empty() ? entry : sub + "/" + entry;
        struct stat est {};
        if (stat((root + "/" + relative).c_str(), &est) != 0)
            continue;
        if (S_ISDIR(est.st_mode)) {
            if (!IsSkippedDirectory(entry.c_str()))
                IndexFolder(root, relative, open, owner);
        } else if (S_ISREG(est.st_mode)) {
            owner.AddDiskFile(relative, root);
        }
    }
    open.pop_back();
}

FileSystem::FileSystem() : _impl(new Impl) {}
FileSystem::~FileSystem() = default;

FileSystem& FileSystem::Instance()
{
    static FileSystem instance;
    return instance;
}

void FileSystem::AddDirectory(const std::string& root, const char* sub)
{
    const std::string base = root.empty() ? std::string(".") : root;
    std::string relative = sub ? ToForwardSlashes(sub) : std::string();
    while (!relative.empty() && relative.back() == '/')
        relative.pop_back();
    std::vector<FolderId> open;
    const std::string resolved = ResolveDiskPath(base);
    {
        MountedPlaces& places = MountedPlaces::Instance();
        std::lock_guard<std::mutex> lock(places.mutex);
        MountedPlaces::Add(places.folders, relative.empty() ? resolved : resolved + "/" + relative);
    }
    _impl->IndexFolder(resolved, relative, open, *this);
}

void FileSystem::AddDiskFile(const std::string& name, const std::string& root)
{
    const std::string base = root.empty() ? std::string(".") : root;
    const std::string ext = Extension(name);
    if (name.find('.') != std::string::npos) {
        if (IsSkippedExtension(ext))
            return;
        if (ext == "resources") {
            AddResourceFile(name, base);
            return;
        }
    }
    struct stat st {};
    if (stat((base + "/" + name).c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return;
    std::tm utc {};
    const time_t modified = st.st_mtime;
    if (!gmtime_r(&modified, &utc))
        return;
    SYSTEMTIME date;
    date.wYear = static_cast<uint16_t>(utc.tm_year + 1900);
    date.wMonth = static_cast<uint16_t>(utc.tm_mon + 1);
    date.wDay = static_cast<uint16_t>(utc.tm_mday);
    date.wHour = static_cast<uint16_t>(utc.tm_hour);
    date.wMinute = static_cast<uint16_t>(utc.tm_min);
    date.wSecond = static_cast<uint16_t>(utc.tm_sec);

    FileInfo info;
    info.SetDiskFile(name, base);
    info.SetDateTime(date);
    std::lock_guard<std::recursive_mutex> lock(_impl->mutex);
    _impl->Store(info);
}

void FileSystem::AddResourceFile(const std::string& name, const std::string& root, bool optional)
{
    const std::string packPath = root + "/" + name;
    PackFileStorage& storage = PackFileStorage::Instance();
    if (storage.IsExist(packPath))
        return;
    struct stat st {};
    if (optional && lstat(ResolveDiskPath(packPath).c_str(), &st) != 0)
        return;
    auto pack = std::make_shared<PackFile>();
    if (!pack->Create(packPath)) {
        // Refused without a word on screen: its names are reported missing when asked for.
        const std::string line = "Pack (" + packPath + ") is not mounted: " + pack->GetRefusal() + ".";
        bool first = false;
        {
            std::lock_guard<std::recursive_mutex> lock(_impl->mutex);
            first = _impl->refusalsLogged.insert(line).second;
        }
        if (first)
            SystemLogger::Instance().Log(line.c_str());
        return;
    }
    if (!storage.AddFile(packPath, pack))
        return;
    {
        MountedPlaces& places = MountedPlaces::Instance();
        std::lock_guard<std::mutex> lock(places.mutex);
        MountedPlaces::Add(places.packs, packPath);
    }
    std::lock_guard<std::recursive_mutex> lock(_impl->mutex);
    const int count = pack->GetNumFiles();
    for (int i = 0; i < count; ++i) {
        SYSTEMTIME date;
        std::string entryName;
        if (!pack->GetFileDateTime(i, date) || !pack->GetFileName(i, entryName))
            continue;
        FileInfo info;
        info.SetPackFile(entryName, packPath, i);
        info.SetDateTime(date);
        _impl->Store(info);
    }
}

bool FileSystem::GetFileInfo(const std::string& name, FileInfo& info) const
{
    std::lock_guard<std::recursive_mutex> lock(_impl->mutex);
    auto it = _impl->index.find(name);
    if (it == _impl->index.end())
        return false;
    info = it->second;
    return true;
}

bool FileSystem::GetFile(const std::string& name, std::shared_ptr<CachedFile>& file) const
{
    FileInfo info;
    {
        std::shared_ptr<Resource> released;  // dies after the lock is left
        std::lock_guard<std::recursive_mutex> lock(_impl->mutex);
        auto it = _impl->index.find(name);
        if (it == _impl->index.end())
            return false;
        auto cached = _impl->cache.find(name);
        if (cached != _impl->cache.end()) {
            file = cached->second;
            // The caller now uses the file: the precache's share of its resource may go.
            auto held = _impl->precached.find(name);
            if (held != _impl->precached.end()) {
                released.swap(held->second);
                _impl->precached.erase(held);
            }
            return true;
        }
        info = it->second;
    }
    // Read without the lock so that other threads are not held up by disk reads.
    FileLoader loader;
    if (!loader.LoadSync(info) || !loader.GetFile()) {
        LogUnreadable(info);
        return false;
    }
    std::lock_guard<std::recursive_mutex> lock(_impl->mutex);
    auto inserted = _impl->cache.emplace(name, loader.GetFile());
    file = inserted.first->second;
    return true;
}

bool FileSystem::GetFileListFromDirectory(const std::string& directory, std::list<std::string>& files) const
{
    std::lock_guard<std::recursive_mutex> lock(_impl->mutex);
    auto it = _impl->directories.find(directory);
    if (it == _impl->directories.end() || it->second.empty())
        return false;
    files = it->second;
    return true;
}

void FileSystem::PrecacheFile(const std::string&) {}

void FileSystem::PrecacheFolder(const std::string& text, bool freeFirst)
{
    {
        std::lock_guard<std::recursive_mutex> lock(_impl->mutex);
        if (text == _impl->lastPrecachedFolder)
            return;
    }
    if (freeFirst)
        FreeCache();
    const std::string needle = AsciiLower(text);
    std::vector<std::string> names;
    {
        std::lock_guard<std::recursive_mutex> lock(_impl->mutex);
        for (const auto& entry : _impl->index)
            if (AsciiLower(entry.first).find(needle) != std::string::npos)
                names.push_back(entry.first);
    }
    for (const std::string& name : names) {
        std::shared_ptr<CachedFile> file;
        GetFile(name, file);
    }
    std::lock_guard<std::recursive_mutex> lock(_impl->mutex);
    _impl->lastPrecachedFolder = text;
}

bool FileSystem::PrecacheFileAcync(const std::string& name)
{
    std::lock_guard<std::recursive_mutex> lock(_impl->mutex);
    if (_impl->index.count(name) == 0)
        return false;
    _impl->queue.push_back(name);
    return true;
}

void FileSystem::FreeCache()
{
    std::map<std::string, std::shared_ptr<CachedFile>> dropped;
    std::lock_guard<std::recursive_mutex> lock(_impl->mutex);
    dropped.swap(_impl->cache);
    _impl->lastPrecachedFolder.clear();
}

void FileSystem::DropPrecachedResources()
{
    std::map<std::string, std::shared_ptr<Resource>> dropped;
    std::lock_guard<std::recursive_mutex> lock(_impl->mutex);
    dropped.swap(_impl->precached);
}

void FileSystem::Update(float)
{
    std::unique_lock<std::mutex> step(_impl->updateMutex, std::try_to_lock);
    if (!step.owns_lock())
        return;

    std::shared_ptr<FileLoader> loader;
    {
        std::lock_guard<std::recursive_mutex> lock(_impl->mutex);
        loader = _impl->loader;
    }
    if (loader) {
        const bool ok = loader->Update(kPrecacheSlice);
        if (ok && !loader->IsCompleted())
            return;
        {
            std::lock_guard<std::recursive_mutex> lock(_impl->mutex);
            _impl->loader.reset();
        }
        // A file that failed (vanished, shrank, unreadable) is dropped so the queue goes on.
        if (ok && loader->GetFile()) {
            const std::string name = loader->GetFileInfo().GetFileName();
            {
                std::lock_guard<std::recursive_mutex> lock(_impl->mutex);
                _impl->cache.emplace(name, loader->GetFile());
            }
            const int type = PrecacheResourceType(name);
            if (type != Resource::RT_UNSET) {
                // A broken file the game may never use must not end the game here.
                try {
                    std::shared_ptr<Resource> resource;
                    if (ResourceManager::Instance().GetResource(name, type, resource) && resource) {
                        std::lock_guard<std::recursive_mutex> lock(_impl->mutex);
                        _impl->precached[name] = resource;
                    }
                } catch (const std::exception& e) {
                    SystemLogger::Instance().Log(e.what());
                }
            }
        }
    }

    FileInfo info;
    {
        std::lock_guard<std::recursive_mutex> lock(_impl->mutex);
        if (_impl->queue.empty())
            return;
        const std::string name = _impl->queue.front();
        _impl->queue.pop_front();
        auto it = _impl->index.find(name);
        if (it == _impl->index.end() || _impl->cache.count(name) != 0)
            return;
        info = it->second;
    }
    auto next = std::make_shared<FileLoader>();
    if (!next->LoadAsync(info, kPrecacheSlice))
        return;
    std::lock_guard<std::recursive_mutex> lock(_impl->mutex);
    _impl->loader = next;
}

bool FileSystem::GetUserDataDirectory(const std::string& subPath, std::string& path) const
{
    std::string folder = OsPlatform::GetDocumentsFolder();
    if (folder.empty())
        return false;
    // Only plain components are kept: the result stays inside the documents folder.
    const std::string relative = ToForwardSlashes(subPath);
    size_t start = 0;
    while (start <= relative.size()) {
        size_t end = relative.find('/', start);
        if (end == std::string::npos)
            end = relative.size();
        const std::string part = relative.substr(start, end - start);
        if (!part.empty() && part != "." && part != "..")
            folder += "/" + part;
        start = end + 1;
    }
    struct stat st {};
    if (stat(folder.c_str(), &st) != 0) {
        std::error_code ec;
        std::filesystem::create_directories(folder, ec);
        if (ec)
            return false;
    }
    if (stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        return false;
    path = folder;
    return true;
}

bool FileSystem::UnlinkFile(const std::string& path, const char* name)
{
    const std::string key = name ? std::string(name) : path;
    std::shared_ptr<CachedFile> dropped;
    {
        std::lock_guard<std::recursive_mutex> lock(_impl->mutex);
        _impl->index.erase(key);
        auto it = _impl->cache.find(key);
        if (it != _impl->cache.end()) {
            dropped.swap(it->second);
            _impl->cache.erase(it);
        }
    }
    return unlink(ResolveDiskPath(path).c_str()) == 0;
}

bool FileSystem::CreateFileW(const std::string& path, const void* data, uint32_t size)
{
    if (path.empty() || (!data && size > 0))
        return false;
    const std::string target = ResolveDiskPath(path);
    const size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string(".")
                               : slash == 0               ? std::string("/")
                                                          : target.substr(0, slash);

    std::string temporary = target + ".tmp.XXXXXX";
    const int handle = mkostemp(&temporary[0], O_CLOEXEC);
    if (handle < 0)
        return false;
    bool ok = fchmod(handle, 0644) == 0 &&
              WriteAll(handle, static_cast<const unsigned char*>(data), size) && fsync(handle) == 0;
    ok = (close(handle) == 0) && ok;
    if (ok)
        ok = rename(temporary.c_str(), target.c_str()) == 0;
    if (!ok) {
        unlink(temporary.c_str());
        return false;
    }
    const int folderHandle = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderHandle >= 0) {
        fsync(folderHandle);
        close(folderHandle);
    }
    return true;
}

}  // namespace EngineCore
