#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "backend/Base/HGEParticleSystem.h"
#include "backend/Base/HGESprite.h"
#include "backend/Base/HGESystemObject.h"
#include "backend/Helpers/hgeParticleSystem.h"
#include "backend/Helpers/hgeSprite.h"
#include "engine/FileSystem/FileSystem.h"
#include "engine/Renderer/ParticleSystemManager.h"
#include "engine/Renderer/RenderSystem.h"
#include "tests/support/FailureText.h"
#include "tests/support/TempFolder.h"

using MobrixCore::hgeParticle;
using MobrixCore::hgeParticleSystem;
using MobrixCore::hgeParticleSystemInfo;
using MobrixCore::HGEParticleSystem;
using MobrixCore::HGESprite;
using testing::EndsWith;
using TestSupport::FailureText;

namespace {

// A description file laid out by byte offsets, little-endian.
class Description {
public:
    Description() : _bytes(128, 0)
    {
        Int(4, 100);
        Float(8, -1.0f);
        Float(12, 1.0f);
        Float(16, 1.0f);
        Float(64, 1.0f);
        Float(68, 1.0f);
        for (int c = 0; c < 4; ++c) {
            Float(88 + 4 * c, 1.0f);
            Float(104 + 4 * c, 1.0f);
        }
    }
    Description& Int(size_t offset, int32_t value)
    {
        uint32_t bits;
        std::memcpy(&bits, &value, 4);
        return Bits(offset, bits);
    }
    Description& Float(size_t offset, float value)
    {
        uint32_t bits;
        std::memcpy(&bits, &value, 4);
        return Bits(offset, bits);
    }
    Description& Byte(size_t offset, unsigned char value)
    {
        _bytes[offset] = value;
        return *this;
    }
    Description& Resize(size_t size)
    {
        _bytes.resize(size, 0);
        return *this;
    }
    const std::vector<unsigned char>& Bytes() const { return _bytes; }
    hgeParticleSystemInfo Info() const
    {
        hgeParticleSystemInfo info;
        EXPECT_TRUE(MobrixCore::ReadParticleSystemInfo(_bytes.data(), _bytes.size(), info));
        return info;
    }

private:
    Description& Bits(size_t offset, uint32_t bits)
    {
        for (int i = 0; i < 4; ++i)
            _bytes[offset + static_cast<size_t>(i)] = static_cast<unsigned char>(bits >> (8 * i));
        return *this;
    }
    std::vector<unsigned char> _bytes;
};

TEST(ParticleDescription, FieldsComeFromTheirOffsets)
{
    Description d;
    // Every field a distinct value; the first four bytes are junk that must be ignored.
    d.Int(0, 0x7EADBEEF).Int(4, 123).Byte(28, 7).Byte(29, 0xFF).Byte(30, 0xFF).Byte(31, 0xFF);
    const size_t floats[] = {8, 12, 16, 20, 24, 32, 36, 40, 44, 48, 52, 56, 60, 64, 68, 72, 76, 80, 84,
                             88, 92, 96, 100, 104, 108, 112, 116, 120, 124};
    for (size_t offset : floats)
        d.Float(offset, static_cast<float>(offset) + 0.5f);
    const hgeParticleSystemInfo info = d.Info();
    EXPECT_EQ(123, info.emission);
    EXPECT_TRUE(info.relative);
    const float got[] = {info.lifetime, info.particleLifeMin, info.particleLifeMax, info.direction, info.spread,
                         info.speedMin, info.speedMax, info.gravityMin, info.gravityMax, info.radialAccelMin,
                         info.radialAccelMax, info.tangentialAccelMin, info.tangentialAccelMax, info.sizeStart,
                         info.sizeEnd, info.sizeVar, info.spinStart, info.spinEnd, info.spinVar,
                         info.colorStart[0], info.colorStart[1], info.colorStart[2], info.colorStart[3],
                         info.colorEnd[0], info.colorEnd[1], info.colorEnd[2], info.colorEnd[3], info.colorVar,
                         info.alphaVar};
    ASSERT_EQ(sizeof floats / sizeof floats[0], sizeof got / sizeof got[0]);
    for (size_t i = 0; i < sizeof got / sizeof got[0]; ++i)
        EXPECT_EQ(static_cast<float>(floats[i]) + 0.5f, got[i]) << "offset " << floats[i];

    // Only the first of the four bytes at 28 is the flag; a negative emission stays signed.
    d.Byte(28, 0).Int(4, -5);
    EXPECT_FALSE(d.Info().relative);
    EXPECT_EQ(-5, d.Info().emission);
}

TEST(ParticleDescription, OnlyExactly128BytesAreRead)
{
    for (size_t size : {size_t(0), size_t(4), size_t(127), size_t(129), size_t(256)}) {
        SCOPED_TRACE(size);
        Description d;
        d.Resize(size);
        hgeParticleSystemInfo info;
        info.emission = 77;
        EXPECT_FALSE(MobrixCore::ReadParticleSystemInfo(d.Bytes().data(), d.Bytes().size(), info));
        EXPECT_EQ(77, info.emission);
    }
}

// The emitter's arithmetic, with the interface's random numbers.
class ParticleEmitter : public testing::Test {
protected:
    void SetUp() override
    {
        hge = hgeCreate(HGE_VERSION);
        ASSERT_NE(nullptr, hge);
    }
    void TearDown() override { hge->Release(); }
    HGE* hge = nullptr;
};

TEST_F(ParticleEmitter, EmissionRoundsHalvesToEvenAndCarriesTheRest)
{
    struct Case {
        int emission;
        float dt;
        std::vector<int> alive;         // after each update
        std::vector<float> residue;
    } cases[] = {
        {32, 1.0f / 64, {0, 1}, {0.5f, 0.0f}},
        {96, 1.0f / 64, {2, 3}, {-0.5f, 0.0f}},
        {160, 1.0f / 64, {2, 5}, {0.5f, 0.0f}},
        {0, 1.0f, {0, 0}, {0.0f, 0.0f}},
        {-100, 1.0f, {0, 0}, {0.0f, 0.0f}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.emission);
        Description d;
        d.Int(4, c.emission).Float(12, 10.0f).Float(16, 10.0f);
        hgeParticleSystem ps(d.Info());
        ps.Fire();
        for (size_t i = 0; i < c.alive.size(); ++i) {
            ps.Update(c.dt);
            EXPECT_EQ(c.alive[i], ps.GetParticlesAlive()) << "update " << i;
            EXPECT_EQ(c.residue[i], ps.GetEmissionResidue()) << "update " << i;
        }
    }
}

TEST_F(ParticleEmitter, NeverMoreThanTheBlockHolds)
{
    for (int emission : {600 * 60, 2147483647}) {
        SCOPED_TRACE(emission);
        Description d;
        d.Int(4, emission).Float(12, 100.0f).Float(16, 100.0f);
        hgeParticleSystem ps(d.Info());
        ps.Fire();
        ps.Update(1.0f / 60);
        EXPECT_EQ(hgeParticleSystem::kMaxParticles, ps.GetParticlesAlive());
        // The residue keeps only this frame's rounding, not the particles left out.
        EXPECT_LE(std::fabs(ps.GetEmissionResidue()), 0.5f);
        ps.Update(1.0f / 60);
        EXPECT_EQ(hgeParticleSystem::kMaxParticles, ps.GetParticlesAlive());
    }
}

TEST_F(ParticleEmitter, LifetimeStopsEmissionAndParticlesDieOnTime)
{
    Description d;
    d.Int(4, 10).Float(8, 2.0f).Float(12, 0.5f).Float(16, 0.75f);
    hgeParticleSystem ps(d.Info());
    ps.Fire();
    EXPECT_EQ(0.0f, ps.GetAge());
    const float dt = 1.0f / 8;
    int maxAlive = 0;
    for (int frame = 1; frame <= 16; ++frame) {
        ps.Update(dt);
        maxAlive = std::max(maxAlive, ps.GetParticlesAlive());
        for (int i = 0; i < ps.GetParticlesAlive(); ++i) {
            EXPECT_LT(ps.GetParticle(i).age, ps.GetParticle(i).terminalAge);
            EXPECT_GE(ps.GetParticle(i).terminalAge, 0.5f);
            EXPECT_LE(ps.GetParticle(i).terminalAge, 0.75f);
        }
    }
    EXPECT_GT(maxAlive, 0);
    EXPECT_EQ(hgeParticleSystem::kStopped, ps.GetAge());
    // No new particle after 2 s; the last die within the longest life.
    for (int frame = 0; frame < 6; ++frame)
        ps.Update(dt);
    EXPECT_EQ(0, ps.GetParticlesAlive());

    // An endless system keeps its age at -1.
    d.Float(8, -1.0f);
    hgeParticleSystem endless(d.Info());
    endless.Fire();
    endless.Update(100.0f);
    EXPECT_EQ(hgeParticleSystem::kEndless, endless.GetAge());
}

TEST_F(ParticleEmitter, ParticlesMoveByTheirVelocityAndGravity)
{
    // Straight up at 100 px/s, no spread, gravity 50 down; one particle a frame.
    Description d;
    d.Int(4, 1).Float(12, 10.0f).Float(16, 10.0f).Float(32, 100.0f).Float(36, 100.0f).Float(40, 50.0f).Float(44, 50.0f);
    hgeParticleSystem ps(d.Info());
    ps.FireAt(200.0f, 100.0f);
    ps.Update(1.0f);
    ASSERT_EQ(1, ps.GetParticlesAlive());
    const hgeParticle born = ps.GetParticle(0);
    EXPECT_NEAR(200.0f, born.location.x, 2.0f);
    EXPECT_NEAR(100.0f, born.location.y, 2.0f);
    EXPECT_NEAR(0.0f, born.velocity.x, 1e-3f);
    EXPECT_NEAR(-100.0f, born.velocity.y, 1e-3f);
    ps.Update(0.5f);
    const hgeParticle moved = ps.GetParticle(0);
    EXPECT_FLOAT_EQ(-75.0f, moved.velocity.y);
    EXPECT_FLOAT_EQ(born.location.y - 37.5f, moved.location.y);
    EXPECT_FLOAT_EQ(born.location.x, moved.location.x);
}

TEST_F(ParticleEmitter, MovingWithAndWithoutTheParticles)
{
    Description d;
    d.Int(4, 10).Float(12, 10.0f).Float(16, 10.0f);
    hgeParticleSystem ps(d.Info());
    ps.FireAt(10.0f, 10.0f);
    ps.Update(1.0f);
    ASSERT_EQ(10, ps.GetParticlesAlive());
    const float x0 = ps.GetParticle(3).location.x;
    ps.MoveTo(50.0f, 10.0f, false);
    EXPECT_EQ(x0, ps.GetParticle(3).location.x);
    ps.MoveTo(60.0f, 20.0f, true);
    EXPECT_FLOAT_EQ(x0 + 10.0f, ps.GetParticle(3).location.x);
    float x, y;
    ps.GetPosition(x, y);
    EXPECT_EQ(60.0f, x);
    EXPECT_EQ(20.0f, y);
    ps.Stop(false);
    EXPECT_EQ(10, ps.GetParticlesAlive());
    ps.Stop(true);
    EXPECT_EQ(0, ps.GetParticlesAlive());
}

TEST_F(ParticleEmitter, DrawingLeavesTheSpriteColourAsFound)
{
    for (float birthRed : {1.0f, -1.0f}) {
        SCOPED_TRACE(birthRed);
        Description d;
        d.Int(4, 50).Float(12, 10.0f).Float(16, 10.0f).Float(88, birthRed).Float(100, 0.25f);
        hgeParticleSystem ps(d.Info());
        ps.Fire();
        ps.Update(0.1f);
        MobrixCore::hgeSprite sprite(0, 0, 0, 4, 4);
        sprite.SetColor(0x80112233u);
        ps.Render(sprite);
        for (int corner = 0; corner < 4; ++corner)
            EXPECT_EQ(0x80112233u, sprite.GetColor(corner));
    }
}

// The resource, with its description read through the virtual file system.
class LoadableParticleSystem : public HGEParticleSystem {
public:
    explicit LoadableParticleSystem(const std::string& name) { SetName(name); }
    using HGEParticleSystem::SetName;
};

class LoadableSprite : public HGESprite {
public:
    explicit LoadableSprite(const std::string& name)
    {
        SetName(name);
        Init();
    }
    using HGESprite::Init;
};

const char kState[] = "particle system tests";

class ParticleSystemResource : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        folder = new TestSupport::TempFolder;
        folder->WriteFile("fx/sparks.psi", Description().Int(4, 64).Bytes());
        folder->WriteFile("fx/slow.psi", Description().Int(4, 4).Bytes());
        folder->WriteFile("fx/short.psi", Description().Resize(127).Bytes());
        folder->WriteFile("fx/long.psi", Description().Resize(129).Bytes());
        folder->WriteFile("fx/empty.psi", std::string());
        EngineCore::FileSystem::Instance().AddDirectory(folder->Path());
    }
    static void TearDownTestSuite()
    {
        delete folder;
        folder = nullptr;
    }
    void SetUp() override
    {
        EngineCore::RenderSystem::Instance().SetCurrentGameState(kState);
        sprite = std::make_shared<LoadableSprite>("spark.png");
    }
    void TearDown() override
    {
        sprite.reset();
        EngineCore::RenderSystem::Instance().RemoveGameState(kState);
    }


    static TestSupport::TempFolder* folder;
    std::shared_ptr<LoadableSprite> sprite;
};

TestSupport::TempFolder* ParticleSystemResource::folder = nullptr;

TEST_F(ParticleSystemResource, DescriptionsThatAreRefused)
{
    struct Case {
        const char* name;
        const char* message;
    } cases[] = {
        {"fx/short.psi", "Incorrect file (fx/short.psi) size."},
        {"fx/long.psi", "Incorrect file (fx/long.psi) size."},
        {"fx/empty.psi", "Incorrect file (fx/empty.psi) size."},
        {"fx/missing.psi", "File (fx/missing.psi) loading error."},
        {"", "Resource must have name."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LoadableParticleSystem ps(c.name);
        EXPECT_THAT(FailureText([&] { ps.SetSprite(sprite); }), EndsWith(c.message));
        EXPECT_EQ(nullptr, ps.GetData());
        // The sprite is kept all the same.
        EXPECT_TRUE(ps.IsValid());
    }

    // A failed reload keeps the particles built before.
    LoadableParticleSystem ps("fx/sparks.psi");
    ps.SetSprite(sprite);
    hgeParticleSystem* built = ps.GetData();
    ASSERT_NE(nullptr, built);
    ps.SetName("fx/short.psi");
    EXPECT_THAT(FailureText([&] { ps.SetSprite(sprite); }), EndsWith("Incorrect file (fx/short.psi) size."));
    EXPECT_EQ(built, ps.GetData());
}

TEST_F(ParticleSystemResource, SettingsBeforeTheParticlesAreKept)
{
    LoadableParticleSystem ps("fx/sparks.psi");
    // None of these may reach missing particle data.
    ps.MoveTo(30.0f, 40.0f);
    ps.SetEmission(7);
    ps.Show();
    ps.Update(0.1f);
    ps.Render();
    ps.Hide();
    ps.SetSprite(sprite);
    ASSERT_NE(nullptr, ps.GetData());
    EXPECT_EQ(7, ps.GetData()->info.emission);
    float x, y;
    ps.GetData()->GetPosition(x, y);
    EXPECT_EQ(30.0f, x);
    EXPECT_EQ(40.0f, y);

    // A later description replaces an emission set meanwhile.
    ps.SetEmission(9);
    EXPECT_EQ(9, ps.GetData()->info.emission);
    ps.SetSprite(sprite);
    EXPECT_EQ(64, ps.GetData()->info.emission);
}

TEST_F(ParticleSystemResource, OnlyAVisibleSystemMovesOn)
{
    LoadableParticleSystem ps("fx/sparks.psi");
    ps.SetSprite(sprite);
    ps.Update(0.5f);
    EXPECT_EQ(0, ps.GetData()->GetParticlesAlive());
    ps.Show();
    ps.Update(0.5f);
    EXPECT_EQ(32, ps.GetData()->GetParticlesAlive());
    ps.Hide();
    EXPECT_EQ(0, ps.GetData()->GetParticlesAlive());
    ps.Show();
    ps.Update(0.25f);
    EXPECT_EQ(16, ps.GetData()->GetParticlesAlive());
}

TEST_F(ParticleSystemResource, MovingToTheSamePlaceLeavesTheEmitterAlone)
{
    LoadableParticleSystem ps("fx/sparks.psi");
    ps.SetSprite(sprite);
    ps.Show();
    ps.MoveTo(5.0f, 6.0f);
    ps.GetData()->MoveTo(1.0f, 2.0f);  // as if the emitter had been moved behind the system's back
    ps.MoveTo(5.0f, 6.0f);
    float x, y;
    ps.GetData()->GetPosition(x, y);
    EXPECT_EQ(1.0f, x);
    EXPECT_EQ(2.0f, y);
    ps.MoveTo(7.0f, 8.0f);
    ps.GetData()->GetPosition(x, y);
    EXPECT_EQ(7.0f, x);
    EXPECT_EQ(8.0f, y);
}

TEST_F(ParticleSystemResource, ALinkedSystemFollowsItsSpriteWhileVisible)
{
    LoadableParticleSystem ps("fx/sparks.psi");
    ps.SetSprite(sprite);
    auto leader = std::make_shared<LoadableSprite>("leader");
    leader->SetPosition(100.0f, 50.0f);
    ps.LinkToSprite(leader);
    EXPECT_EQ(100.0f, ps.GetPositionX());
    EXPECT_EQ(50.0f, ps.GetPositionY());
    leader->SetPosition(120.0f, 60.0f);
    ps.Update(0.1f);
    EXPECT_EQ(100.0f, ps.GetPositionX());  // hidden: not updated
    ps.Show();
    ps.Update(0.1f);
    EXPECT_EQ(120.0f, ps.GetPositionX());
    float x, y;
    ps.GetData()->GetPosition(x, y);
    EXPECT_EQ(120.0f, x);
    EXPECT_EQ(60.0f, y);
    ps.BreakLink();
    leader->SetPosition(0.0f, 0.0f);
    ps.Update(0.1f);
    EXPECT_EQ(120.0f, ps.GetPositionX());
}

TEST_F(ParticleSystemResource, ClonesReadTheDescriptionAfresh)
{
    LoadableParticleSystem ps("fx/sparks.psi");
    ps.SetSprite(sprite);
    ps.SetEmission(3);
    ps.MoveTo(9.0f, 9.0f);
    ps.Show();
    const std::shared_ptr<EngineCore::Resource> resource = ps.Clone();
    auto* clone = dynamic_cast<HGEParticleSystem*>(resource.get());
    ASSERT_NE(nullptr, clone);
    EXPECT_NE(static_cast<EngineCore::Resource*>(&ps), resource.get());
    EXPECT_STREQ("fx/sparks.psi", clone->GetName());
    EXPECT_EQ(EngineCore::Resource::RT_PARTICLE_SYSTEM, clone->GetType());
    EXPECT_FALSE(clone->IsVisible());
    EXPECT_EQ(0.0f, clone->GetPositionX());
    ASSERT_NE(nullptr, clone->GetData());
    EXPECT_NE(ps.GetData(), clone->GetData());
    EXPECT_EQ(64, clone->GetData()->info.emission);

    // A clone of a system with no sprite has no particles either.
    LoadableParticleSystem bare("fx/sparks.psi");
    const std::shared_ptr<EngineCore::Resource> bareClone = bare.Clone();
    EXPECT_EQ(nullptr, dynamic_cast<HGEParticleSystem&>(*bareClone).GetData());
    EXPECT_FALSE(bareClone->IsValid());
}

// A particle sprite released and set up again is fetched afresh at each draw.
TEST_F(ParticleSystemResource, DrawingSurvivesTheSpriteBeingRebuilt)
{
    LoadableParticleSystem ps("fx/slow.psi");
    ps.SetSprite(sprite);
    ps.Show();
    ps.Update(1.0f);
    ps.Render();
    MobrixCore::hgeSprite* before = sprite->GetData();
    sprite->Init();  // frees the helper quad and makes a new one
    ASSERT_NE(nullptr, sprite->GetData());
    (void)before;
    ps.Render();
    EngineCore::ParticleSystemManager::Instance().Update(0.5f);
    EngineCore::ParticleSystemManager::Instance().Render();
    EXPECT_GT(ps.GetData()->GetParticlesAlive(), 0);
}

}  // namespace
