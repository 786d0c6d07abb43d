// Animation files, loaded by name through the virtual file system, then sampled.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include "backend/Base/HGEAnimation.h"
#include "fuzz/ScratchFolder.h"

namespace {

const char* const kName = "fuzz.bin";

class LoadableAnimation : public MobrixCore::HGEAnimation {
public:
    LoadableAnimation() { SetName(kName); }
    using MobrixCore::HGEAnimation::Init;
    using MobrixCore::HGEAnimation::Release;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static FuzzSupport::ScratchFolder folder;
    folder.Serve(kName, data, size);

    LoadableAnimation animation;
    try {
        animation.Init();
    } catch (const std::runtime_error&) {
        if (animation.IsValid())
            std::abort();  // a failed load leaves nothing behind
        return 0;
    }
    if (!animation.IsValid())
        std::abort();

    const float length = animation.GetLength();
    const float times[] = {-1.0f, 0.0f, 0.25f * length, 0.5f * length, length, 1.5f * length, 1e30f, NAN};
    for (const float t : times) {
        for (const bool loop : {false, true}) {
            EngineCore::AnimationKey::KeyValue value;
            animation.Sample(t, loop, value);
        }
    }
    for (unsigned i = 0; i <= animation.GetNumKeys(); ++i)
        animation.GetFrameTime(i);
    animation.Release();
    return 0;
}
