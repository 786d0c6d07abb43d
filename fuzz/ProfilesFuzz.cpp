// The profiles file: decoded, its saved properties restored, and what was read
// written again, which must read back the same.
#include <cstdint>
#include <cstdlib>
#include <list>
#include <memory>
#include <string>
#include <vector>

#include "game/Logic/Profile.h"
#include "game/Logic/ProfilesFile.h"
#include "game/Logic/PropertySystem.h"

namespace {

bool SameProfile(const GameCore::Profile& a, const GameCore::Profile& b)
{
    return a.id == b.id && a.name == b.name && a.levelScript == b.levelScript && a.questItems == b.questItems &&
           a.windowed == b.windowed && a.systemCursor == b.systemCursor && a.stretch == b.stretch &&
           a.totalScores == b.totalScores && a.completedStages == b.completedStages &&
           a.lastSelectedStage == b.lastSelectedStage &&
           (a.soundVolume == b.soundVolume || (a.soundVolume != a.soundVolume && b.soundVolume != b.soundVolume)) &&
           (a.musicVolume == b.musicVolume || (a.musicVolume != a.musicVolume && b.musicVolume != b.musicVolume));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    GameCore::ProfilesFileContents contents;
    const GameCore::ProfilesFileStatus status = GameCore::DecodeProfilesFile(data, size, contents);
    if (status == GameCore::ProfilesFileStatus::BadHeader) {
        if (!contents.profiles.empty())
            std::abort();
        return 0;
    }

    GameCore::PropertySystem& properties = GameCore::PropertySystem::Instance();
    for (const std::shared_ptr<GameCore::Profile>& profile : contents.profiles)
        for (const std::string& entry : profile->savedProperties)
            properties.AddPropertyFromEntry(entry);
    const std::string propertyText = GameCore::Profile::VecToStr(GameCore::Profile::CollectAllProperty());
    properties.Clear();

    if (contents.profiles.empty())
        return 0;
    const std::list<std::shared_ptr<GameCore::Profile>> list(contents.profiles.begin(), contents.profiles.end());
    const std::vector<unsigned char> written = GameCore::EncodeProfilesFile(list, contents.selectedId, propertyText);
    GameCore::ProfilesFileContents again;
    if (GameCore::DecodeProfilesFile(written.data(), written.size(), again) != GameCore::ProfilesFileStatus::Ok)
        std::abort();
    if (again.profiles.size() != contents.profiles.size() || again.selectedId != contents.selectedId)
        std::abort();
    for (size_t i = 0; i < again.profiles.size(); ++i)
        if (!SameProfile(*again.profiles[i], *contents.profiles[i]))
            std::abort();
    return 0;
}
