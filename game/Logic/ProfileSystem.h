#pragma once
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "game/Logic/Profile.h"

namespace GameCore {

// The player profiles kept in "Profiles.dat" of the per-user folder, and the
// selected one, whose settings (volumes, system cursor, windowed and stretch flags,
// the level script as property "CurrentLevelScript") are applied to the engine.
//
// Nothing a player saved is lost: a save made before the selected profile's saved
// properties were restored (LoadProperty) keeps every record's stored properties, with
// the current ones merged over them; once restored, the current set is written into
// every record. Saves replace the file atomically, and a file that
// cannot be read or parsed is moved aside (logged), never deleted, before a fresh
// profile takes its place; one that reads but has bytes left past its records stays
// in use, with a copy of it kept aside (logged). Once loaded, the list always holds at least one profile.
//
// The singleton is made on first use (Application::PreInit), after the pre-start-up
// script may have changed the user path. Its list is guarded: the loader thread
// (a state's entry scripts) and the main thread both reach it.
class ProfileSystem {
public:
    static ProfileSystem& Instance();
    ~ProfileSystem();
    ProfileSystem(const ProfileSystem&) = delete;
    ProfileSystem& operator=(const ProfileSystem&) = delete;

    // The profile system's lock, for callers that read or change a profile's fields: a
    // save on another thread reads them all. Recursive; a holder may save.
    std::unique_lock<std::recursive_mutex> Hold() const;

    // Reads the file; with none, creates, selects, saves and applies a fresh profile.
    void Load();
    // Rewrites the file from the list; writes nothing when the list is empty.
    void Save();

    // Makes the profile the selected one and applies its settings; false when empty.
    bool Select(const std::shared_ptr<Profile>& profile);
    // Appends a default profile with the smallest id in 0..n that no profile uses.
    bool CreateProfile(std::shared_ptr<Profile>& out);
    bool DeleteProfile(const std::shared_ptr<Profile>& profile);
    unsigned GetNumProfiles() const;
    // Selects the first profile (settings not applied) when none is selected.
    bool GetSelectedProfile(std::shared_ptr<Profile>& out) const;
    bool GetProfileById(int id, std::shared_ptr<Profile>& out) const;
    bool GetProfileByIndex(unsigned index, std::shared_ptr<Profile>& out) const;
    // The selected profile's saved property entries, handed out to be restored: from
    // then on saves write the current property set alone (see Save). Never the entry of
    // "CurrentLevelScript": that property mirrors the profile's own level script. False
    // when there is no profile.
    bool SavedPropertiesToRestore(std::vector<std::string>& entries);
    // The profile folder.
    const char* GetProfileDiskPath() const;
    // The path of the profiles file.
    const std::string& GetProfileFilePath() const;

    // In the state named "game" the first call after a call elsewhere (or after
    // start) removes "CurrentLevelScript"; the argument has no effect.
    void SetIgnoreLoadLevelScript(bool ignore);
    bool GetIgnoreLoadLevelScript() const;

private:
    ProfileSystem();
    // Renames the file aside (or copies `bytes` there) and logs one line.
    void MoveDamagedFileAside(const std::string& reason, const std::string& bytes, bool haveBytes);
    // Creates a profile into the selected slot, saves and applies it.
    void StartFresh();
    void ApplySelectedProfileSettings();

    bool _ignoreLoadLevelScript = false;
    bool _levelScriptFlag = true;
    struct Impl;
    std::unique_ptr<Impl> _impl;
};

}  // namespace GameCore
