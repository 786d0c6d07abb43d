#include "game/Logic/ProfileSystem.h"

namespace GameCore {

struct ProfileSystem::Impl {
    unsigned count = 0;
};

ProfileSystem& ProfileSystem::Instance()
{
    static ProfileSystem instance;
    return instance;
}

ProfileSystem::ProfileSystem() : _impl(new Impl) {}
ProfileSystem::~ProfileSystem() = default;

unsigned ProfileSystem::GetNumProfiles() const { return _impl->count; }

void ProfileSystem::Save()
{
    if (_impl->count == 0)
        return;
}

}  // namespace GameCore
