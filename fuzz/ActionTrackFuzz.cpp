// Action-track files, loaded by name through the virtual file system, then played.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <string>

#include "engine/Animation/ActionTrack.h"
#include "engine/Animation/ActionTrackManager.h"
#include "engine/Renderer/RenderSystem.h"
#include "fuzz/ScratchFolder.h"

namespace {

const char* const kName = "fuzz.track";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static FuzzSupport::ScratchFolder folder;
    EngineCore::RenderSystem::Instance().SetCurrentGameState("fuzz");
    folder.Serve(kName, data, size);

    auto track = std::make_shared<EngineCore::ActionTrack>();
    size_t runs = 0;
    track->SetScriptRunner([&runs](const std::string&) {
        ++runs;
        return true;
    });
    try {
        track->Load(kName);
    } catch (const std::runtime_error&) {
    }
    const float length = track->GetLength();
    for (int type = 0; type < 2; ++type) {
        track->Stop();
        track->SetAnimationType(static_cast<EngineCore::AnimationPlayer::AnimationType>(type));
        track->Play();
        const float steps[] = {0.0f, 0.3f, length, length * 2.5f, 1e30f, -1.0f, 0.1f};
        for (const float dt : steps)
            EngineCore::ActionTrackManager::Instance().Update(dt);
        track->Pause();
        track->SetAnimationFrame(static_cast<unsigned>(track->GetNumKeys() / 2));
        track->Resume();
        EngineCore::ActionTrackManager::Instance().Update(0.5f);
    }
    // Every step runs each key a bounded number of times.
    if (runs > 64 * (track->GetNumKeys() + 1))
        std::abort();
    return 0;
}
