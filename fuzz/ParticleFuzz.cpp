// Particle-system description files, loaded by name through the virtual file system
// when the particle sprite is set, then run and drawn for a few seconds of frames.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <string>

#include "backend/Base/HGEParticleSystem.h"
#include "backend/Base/HGESprite.h"
#include "backend/Helpers/hgeParticleSystem.h"
#include "engine/Renderer/RenderSystem.h"
#include "fuzz/ScratchFolder.h"

namespace {

const char* const kName = "fuzz.psi";

class LoadableParticleSystem : public MobrixCore::HGEParticleSystem {
public:
    LoadableParticleSystem() { SetName(kName); }
};

class ParticleSprite : public MobrixCore::HGESprite {
public:
    ParticleSprite()
    {
        SetName("particle");
        Init();
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static FuzzSupport::ScratchFolder folder;
    static const bool ready = [] {
        EngineCore::RenderSystem::Instance().SetCurrentGameState("fuzz");
        return true;
    }();
    (void)ready;
    folder.Serve(kName, data, size);

    static std::shared_ptr<ParticleSprite> sprite = std::make_shared<ParticleSprite>();
    LoadableParticleSystem system;
    system.MoveTo(100.0f, 100.0f);
    try {
        system.SetSprite(sprite);
    } catch (const std::runtime_error&) {
        if (system.GetData() || size == MobrixCore::kParticleSystemInfoSize)
            std::abort();  // a refused file leaves no particles; a 128-byte one is never refused
        return 0;
    }
    if (!system.GetData() || size != MobrixCore::kParticleSystemInfoSize)
        std::abort();

    system.Show();
    for (int frame = 0; frame < 120; ++frame) {
        system.Update(1.0f / 30.0f);
        if (frame % 10 == 0)
            system.MoveTo(100.0f + static_cast<float>(frame), 100.0f - static_cast<float>(frame));
        system.Render();
        const int alive = system.GetData()->GetParticlesAlive();
        if (alive < 0 || alive > MobrixCore::hgeParticleSystem::kMaxParticles)
            std::abort();
    }
    system.Update(1e30f);
    system.Hide();
    return 0;
}
