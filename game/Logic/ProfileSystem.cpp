#include "game/Logic/ProfileSystem.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <list>
#include <vector>

#include "engine/Audio/MusicSystem.h"
#include "engine/Audio/SoundSystem.h"
#include "engine/FileSystem/FileSystem.h"
#include "engine/GUI/GUISystem.h"
#include "engine/Renderer/RenderSystem.h"
#include "engine/System/EngineError.h"
#include "engine/System/SystemLogger.h"
#include "game/Base/Application.h"
#include "game/Base/GameState.h"
#include "game/Base/StateCallback.h"
#include "game/Logic/ProfilesFile.h"
#include "game/Logic/PropertySystem.h"

namespace GameCore {

namespace {

const char* const kSource = "Logic\\ProfileSystem";
const char* const kFileName = "Profiles.dat";
const char* const kLevelScriptProperty = "CurrentLevelScript";
// No profiles file comes near this; a larger one is treated as unreadable rather
// than read whole into memory.
const off_t kMaxFileSize = 256 * 1024 * 1024;

enum class ReadResult { Read, Missing, Unreadable };

ReadResult ReadWholeFile(const std::string& path, std::string& bytes, std::string& reason)
{
    const int handle = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (handle < 0) {
        if (errno == ENOENT)
            return ReadResult::Missing;
        reason = std::strerror(errno);
        return ReadResult::Unreadable;
    }
    struct stat st {};
    ReadResult result = ReadResult::Read;
    if (fstat(handle, &st) != 0 || !S_ISREG(st.st_mode)) {
        reason = "not a regular file";
        result = ReadResult::Unreadable;
    } else if (st.st_size > kMaxFileSize) {
        reason = "too large";
        result = ReadResult::Unreadable;
    } else {
        bytes.assign(static_cast<size_t>(st.st_size), '\0');
        size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t got = read(handle, &bytes[done], bytes.size() - done);
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0) {
                // Part of a file is no profile list: taken as it stands, its tail would be
                // lost by the next save instead of kept aside with the rest.
                reason = std::strerror(errno);
                result = ReadResult::Unreadable;
                break;
            }
            if (got == 0)
                break;
            done += static_cast<size_t>(got);
        }
        // A file that shrank while read is taken as it was found.
        bytes.resize(done);
    }
    close(handle);
    return result;
}

bool Exists(const std::string& path)
{
    struct stat st {};
    return lstat(path.c_str(), &st) == 0;
}

// "<path>.bad-YYYYMMDD-HHMMSS", with "-2", "-3"... when that name is taken.
std::string AsideName(const std::string& path)
{
    const time_t now = std::time(nullptr);
    struct tm local {};
    localtime_r(&now, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    const std::string base = path + ".bad-" + stamp;
    std::string name = base;
    for (int n = 2; Exists(name) && n < 1000; ++n)
        name = base + "-" + std::to_string(n);
    return name;
}

// A save cut short (the process killed between writing its temporary file and the
// rename) leaves "Profiles.dat.tmp.XXXXXX" beside the file. Only one instance of the
// game runs, so none of them is being written while the profiles are loaded.
void RemoveStaleTemporaries(const std::string& path)
{
    const size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string(".") : path.substr(0, slash);
    const std::string prefix = path.substr(slash == std::string::npos ? 0 : slash + 1) + ".tmp.";
    std::error_code ec;
    std::vector<std::filesystem::path> stale;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.size() == prefix.size() + 6 && name.compare(0, prefix.size(), prefix) == 0 &&
            it->is_regular_file(ec))
            stale.push_back(it->path());
    }
    for (const std::filesystem::path& file : stale)
        std::filesystem::remove(file, ec);
}

// The file stays in use; a copy of it as it was read is kept beside it.
void KeepCopyAside(const std::string& path, const std::string& reason, const std::string& bytes)
{
    const std::string aside = AsideName(path);
    const bool kept =
        EngineCore::FileSystem::Instance().CreateFileW(aside, bytes.data(), static_cast<uint32_t>(bytes.size()));
    const std::string line = "Profiles file (" + path + ") " + reason +
                             (kept ? ": a copy is kept as " + aside + "." : ": no copy of it could be kept.");
    EngineCore::SystemLogger::Instance().Log(line.c_str());
}

// The property field of each record. Until the selected profile's saved properties have
// been restored, the current set holds only what scripts (and the level script) made since
// the start: written alone it would wipe every record's saved properties, so each record
// keeps its own, with the current set merged over them. The level script's entry is never
// kept: its record field is what counts, and a kept copy would bring back a level script
// that was dropped. Once restored, every record gets the current set.
std::vector<std::string> RecordPropertyTexts(const std::list<std::shared_ptr<Profile>>& profiles, bool restored)
{
    const std::vector<std::string> current = Profile::CollectAllProperty();
    std::vector<std::string> texts;
    texts.reserve(profiles.size());
    for (const std::shared_ptr<Profile>& profile : profiles) {
        if (restored) {
            texts.push_back(Profile::VecToStr(current));
            continue;
        }
        std::vector<std::string> stored;
        for (const std::string& entry : profile->savedProperties) {
            if (PropertySystem::EntryName(entry) != kLevelScriptProperty)
                stored.push_back(entry);
        }
        texts.push_back(Profile::VecToStr(PropertySystem::MergeEntries(stored, current)));
    }
    return texts;
}

}  // namespace

struct ProfileSystem::Impl {
    mutable std::recursive_mutex mutex;
    std::list<std::shared_ptr<Profile>> profiles;
    std::string directory;
    std::string filePath;
    mutable std::shared_ptr<Profile> selected;
};

using Lock = std::lock_guard<std::recursive_mutex>;

ProfileSystem& ProfileSystem::Instance()
{
    static ProfileSystem instance;
    return instance;
}

ProfileSystem::ProfileSystem() : _impl(new Impl)
{
    EngineCore::FileSystem& files = EngineCore::FileSystem::Instance();
    const std::string userPath = Application::Instance().GetUserPath();
    if (!files.GetUserDataDirectory(userPath, _impl->directory))
        EngineCore::ThrowEngineError(kSource, 110, "PropertySystem::Load() error.");
    std::string directory;
    if (!files.GetUserDataDirectory(userPath, directory))
        EngineCore::ThrowEngineError(kSource, 93, "PropertySystem::Load() error.");
    files.AddDirectory(directory, nullptr);
    _impl->filePath = directory + "/" + kFileName;
}

ProfileSystem::~ProfileSystem() = default;

std::unique_lock<std::recursive_mutex> ProfileSystem::Hold() const
{
    return std::unique_lock<std::recursive_mutex>(_impl->mutex);
}

void ProfileSystem::Load()
{
    Lock lock(_impl->mutex);
    // What the file holds replaces what an earlier load or run left, whatever the file's
    // state; the level script is dropped again by the run's first call in "game".
    _impl->profiles.clear();
    _impl->selected.reset();
    _levelScriptFlag = true;
    RemoveStaleTemporaries(_impl->filePath);
    std::string bytes;
    std::string reason;
    // Read from its own path: a "Profiles.dat" in a data folder or pack must never
    // stand in for the player's file.
    switch (ReadWholeFile(_impl->filePath, bytes, reason)) {
    case ReadResult::Missing:
        StartFresh();
        return;
    case ReadResult::Unreadable:
        MoveDamagedFileAside("cannot be read (" + reason + ")", bytes, false);
        StartFresh();
        return;
    case ReadResult::Read:
        break;
    }

    ProfilesFileContents contents;
    const ProfilesFileStatus status = DecodeProfilesFile(bytes.data(), bytes.size(), contents);
    if (status == ProfilesFileStatus::BadHeader) {
        MoveDamagedFileAside("is damaged", bytes, true);
        StartFresh();
        return;
    }

    // A selected id that no record carries (-1 included) selects the first profile.
    for (const std::shared_ptr<Profile>& profile : contents.profiles) {
        _impl->profiles.push_back(profile);
        if (!_impl->selected && profile->id == contents.selectedId)
            _impl->selected = profile;
    }
    if (status == ProfilesFileStatus::BadRecord) {
        // The records read so far stay; a fresh profile joins them.
        MoveDamagedFileAside("is damaged", bytes, true);
        _impl->selected.reset();
        StartFresh();
        return;
    }
    if (contents.bytesAfterRecords > 0)
        KeepCopyAside(_impl->filePath,
                      "has " + std::to_string(contents.bytesAfterRecords) + " bytes past its last record", bytes);
    if (!_impl->selected)
        _impl->selected = _impl->profiles.front();
    ApplySelectedProfileSettings();
}

void ProfileSystem::MoveDamagedFileAside(const std::string& reason, const std::string& bytes, bool haveBytes)
{
    const std::string& path = _impl->filePath;
    const std::string aside = AsideName(path);
    bool moved = rename(path.c_str(), aside.c_str()) == 0;
    // A folder that refuses the rename may still take a copy of what was read.
    if (!moved && haveBytes)
        moved = EngineCore::FileSystem::Instance().CreateFileW(aside, bytes.data(),
                                                               static_cast<uint32_t>(bytes.size()));
    const std::string line = "Profiles file (" + path + ") " + reason +
                             (moved ? ": moved aside to " + aside + "." : ": it could not be moved aside.");
    EngineCore::SystemLogger::Instance().Log(line.c_str());
}

void ProfileSystem::StartFresh()
{
    std::shared_ptr<Profile> created;
    CreateProfile(created);
    _impl->selected = created;
    Save();
    ApplySelectedProfileSettings();
}

void ProfileSystem::Save()
{
    Lock lock(_impl->mutex);
    if (_impl->profiles.empty())
        return;
    int16_t selectedId = -1;
    const std::shared_ptr<Profile> selected = _impl->selected;
    if (selected) {
        selectedId = selected->id;
        const EngineCore::RenderSystem::ScreenSettings& screen = EngineCore::RenderSystem::Instance().GetScreenSettings();
        selected->windowed = screen.windowed;
        selected->stretch = screen.stretch;
        std::shared_ptr<Property> levelScript;
        if (!PropertySystem::Instance().FindProperty(kLevelScriptProperty, levelScript))
            selected->levelScript.clear();
        else
            levelScript->GetValue(selected->levelScript);
    }
    const std::vector<std::string> propertyTexts =
        RecordPropertyTexts(_impl->profiles, selected && selected->propertiesRestored);
    const std::vector<unsigned char> bytes = EncodeProfilesFile(_impl->profiles, selectedId, propertyTexts);
    if (!EngineCore::FileSystem::Instance().CreateFileW(_impl->filePath, bytes.data(),
                                                        static_cast<uint32_t>(bytes.size())))
        EngineCore::ThrowEngineError(kSource, 472, "Error in saving profiles.");
}

bool ProfileSystem::Select(const std::shared_ptr<Profile>& profile)
{
    if (!profile)
        return false;
    Lock lock(_impl->mutex);
    _impl->selected = profile;
    ApplySelectedProfileSettings();
    return true;
}

bool ProfileSystem::CreateProfile(std::shared_ptr<Profile>& out)
{
    Lock lock(_impl->mutex);
    const int count = static_cast<int>(_impl->profiles.size());
    int id = 0;
    for (; id <= count; ++id) {
        bool used = false;
        for (const std::shared_ptr<Profile>& profile : _impl->profiles)
            used = used || profile->id == id;
        if (!used)
            break;
    }
    std::shared_ptr<Profile> created = std::make_shared<Profile>();
    created->id = static_cast<int16_t>(id);
    _impl->profiles.push_back(created);
    out = created;
    return true;
}

bool ProfileSystem::DeleteProfile(const std::shared_ptr<Profile>& profile)
{
    Lock lock(_impl->mutex);
    auto found = _impl->profiles.begin();
    while (found != _impl->profiles.end() && *found != profile)
        ++found;
    if (found == _impl->profiles.end())
        return false;
    _impl->profiles.erase(found);
    if (_impl->selected == profile) {
        _impl->selected.reset();
        std::shared_ptr<Property> removed;
        PropertySystem::Instance().RemoveProperty(kLevelScriptProperty, removed);
        if (!_impl->profiles.empty())
            _impl->selected = _impl->profiles.front();
    }
    // The deleted file is replaced in one step by the fresh one: no moment without a file.
    if (_impl->profiles.empty())
        StartFresh();
    return true;
}

unsigned ProfileSystem::GetNumProfiles() const
{
    Lock lock(_impl->mutex);
    return static_cast<unsigned>(_impl->profiles.size());
}

bool ProfileSystem::GetSelectedProfile(std::shared_ptr<Profile>& out) const
{
    Lock lock(_impl->mutex);
    if (_impl->profiles.empty())
        return false;
    if (!_impl->selected)
        _impl->selected = _impl->profiles.front();
    out = _impl->selected;
    return true;
}

bool ProfileSystem::GetProfileById(int id, std::shared_ptr<Profile>& out) const
{
    Lock lock(_impl->mutex);
    for (const std::shared_ptr<Profile>& profile : _impl->profiles) {
        if (profile->id == id) {
            out = profile;
            return true;
        }
    }
    return false;
}

bool ProfileSystem::GetProfileByIndex(unsigned index, std::shared_ptr<Profile>& out) const
{
    Lock lock(_impl->mutex);
    if (index >= _impl->profiles.size())
        return false;
    auto at = _impl->profiles.begin();
    std::advance(at, index);
    out = *at;
    return true;
}

bool ProfileSystem::SavedPropertiesToRestore(std::vector<std::string>& entries)
{
    Lock lock(_impl->mutex);
    std::shared_ptr<Profile> profile;
    if (!GetSelectedProfile(profile))
        return false;
    // The level script is the profile's own field, which selecting it applied. The shared
    // list every record stores carries the level script of whoever was selected at the
    // save; restored, it would hand that player's level to this one.
    entries.clear();
    for (const std::string& entry : profile->savedProperties) {
        if (PropertySystem::EntryName(entry) != kLevelScriptProperty)
            entries.push_back(entry);
    }
    profile->propertiesRestored = true;
    return true;
}

const char* ProfileSystem::GetProfileDiskPath() const { return _impl->directory.c_str(); }
const std::string& ProfileSystem::GetProfileFilePath() const { return _impl->filePath; }

void ProfileSystem::SetIgnoreLoadLevelScript(bool)
{
    const std::shared_ptr<GameState> state = StateCallback::CallingState();
    const std::string name = state ? state->GetStateName() : std::string();
    Lock lock(_impl->mutex);
    if (name != "game") {
        _levelScriptFlag = true;
        return;
    }
    if (!_levelScriptFlag)
        return;
    _levelScriptFlag = false;
    std::shared_ptr<Property> removed;
    PropertySystem::Instance().RemoveProperty(kLevelScriptProperty, removed);
}

bool ProfileSystem::GetIgnoreLoadLevelScript() const { return _ignoreLoadLevelScript; }

void ProfileSystem::ApplySelectedProfileSettings()
{
    std::shared_ptr<Profile> profile;
    if (!GetSelectedProfile(profile))
        EngineCore::ThrowEngineError(kSource, 481, "Selected profile is not found.");
    EngineCore::SoundSystem::Instance().SetVolume(profile->soundVolume);
    EngineCore::MusicSystem::Instance().SetVolume(profile->musicVolume);
    EngineCore::GUISystem::Instance().EnableSystemCursor(profile->systemCursor);

    EngineCore::RenderSystem& render = EngineCore::RenderSystem::Instance();
    EngineCore::RenderSystem::ScreenSettings screen = render.GetScreenSettings();
    screen.windowed = profile->windowed;
    screen.stretch = profile->stretch;
    render.ApplyScreenSettings(screen);

    PropertySystem& properties = PropertySystem::Instance();
    std::shared_ptr<Property> levelScript;
    if (!profile->levelScript.empty()) {
        properties.AddProperty(kLevelScriptProperty, levelScript);
        levelScript->SetValue(profile->levelScript.c_str());
    } else {
        properties.RemoveProperty(kLevelScriptProperty, levelScript);
    }
}

}  // namespace GameCore
