#pragma once
#include <memory>

namespace GameCore {

// The player profiles kept in "Profiles.dat" of the per-user folder. This build
// holds no profile records yet: with no profiles, saving writes nothing, so a run
// can never clobber another run's file.
class ProfileSystem {
public:
    static ProfileSystem& Instance();
    ~ProfileSystem();
    ProfileSystem(const ProfileSystem&) = delete;
    ProfileSystem& operator=(const ProfileSystem&) = delete;

    unsigned GetNumProfiles() const;
    // Rewrites the profiles file from the list; writes nothing when the list is empty.
    void Save();

private:
    ProfileSystem();
    struct Impl;
    std::unique_ptr<Impl> _impl;
};

}  // namespace GameCore
