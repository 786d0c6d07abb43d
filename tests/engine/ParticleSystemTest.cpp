#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/Renderer/ParticleSystem.h"
#include "engine/Renderer/ParticleSystemManager.h"
#include "engine/Renderer/RenderSystem.h"
#include "tests/support/RecordingSprite.h"

using namespace EngineCore;

namespace {

class RecordingParticles : public ParticleSystem {
public:
    RecordingParticles(std::string tag, std::vector<std::string>& log) : _tag(std::move(tag)), _log(&log) {}
    void Update(float dt) override
    {
        _log->push_back("update " + _tag);
        ParticleSystem::Update(dt);
        if (onUpdate) {
            const std::function<void()> fn = onUpdate;
            fn();
        }
    }
    void Render() override { _log->push_back("render " + _tag); }
    std::shared_ptr<Resource> Clone() const override { return nullptr; }

    std::function<void()> onUpdate;

private:
    std::string _tag;
    std::vector<std::string>* _log;
};

}  // namespace

TEST(ParticleSystem, FollowsItsLinkedSprite)
{
    RenderSystem::Instance().SetCurrentGameState("particles");
    std::vector<std::string> log;
    RecordingParticles particles("p", log);
    EXPECT_EQ(Resource::RT_PARTICLE_SYSTEM, particles.GetType());
    EXPECT_FALSE(particles.IsVisible());
    EXPECT_FALSE(particles.IsValid());

    auto sprite = std::make_shared<TestSupport::RecordingSprite>("s", log);
    sprite->SetPosition(100.0f, 50.0f);
    particles.LinkToSprite(sprite);
    EXPECT_EQ(100.0f, particles.GetPositionX());
    EXPECT_EQ(50.0f, particles.GetPositionY());
    sprite->SetPosition(7.0f, 8.0f);
    particles.Update(0.1f);
    EXPECT_EQ(7.0f, particles.GetPositionX());

    // The link keeps the sprite alive until it is broken.
    std::weak_ptr<TestSupport::RecordingSprite> weak = sprite;
    sprite.reset();
    EXPECT_FALSE(weak.expired());
    particles.LinkToSprite(nullptr);
    EXPECT_TRUE(weak.expired());
    particles.Update(0.1f);
    EXPECT_EQ(7.0f, particles.GetPositionX());
    EXPECT_EQ(8.0f, particles.GetPositionY());
    RenderSystem::Instance().RemoveGameState("particles");
}

TEST(ParticleSystemManager, SystemFreedDuringThePassIsSkipped)
{
    std::vector<std::string> log;
    auto first = std::make_unique<RecordingParticles>("first", log);
    auto second = std::make_unique<RecordingParticles>("second", log);
    // Both free the other; whichever runs first wins.
    first->onUpdate = [&] { second.reset(); };
    second->onUpdate = [&] { first.reset(); };
    ParticleSystemManager::Instance().Update(0.1f);
    ASSERT_EQ(1u, log.size());
    EXPECT_NE(static_cast<bool>(first), static_cast<bool>(second));

    log.clear();
    ParticleSystemManager::Instance().Render();
    EXPECT_EQ(1u, log.size());
}
