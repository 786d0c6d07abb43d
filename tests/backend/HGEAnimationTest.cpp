#include <algorithm>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <limits>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "backend/Base/HGEAnimation.h"
#include "engine/FileSystem/FileSystem.h"
#include "backend/Base/HGESystemObject.h"
#include "tests/support/BackendLogFixture.h"
#include "tests/support/FailureText.h"
#include "tests/support/TempFolder.h"

using EngineCore::AnimationKey;
using testing::EndsWith;

namespace {

// Little-endian bytes of an animation file.
class Bytes {
public:
    Bytes& Magic()
    {
        data.append("kT.animation.bin", 17);
        return *this;
    }
    Bytes& U32(uint32_t v)
    {
        for (int i = 0; i < 4; ++i)
            data.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
        return *this;
    }
    Bytes& F32(float f)
    {
        uint32_t v;
        std::memcpy(&v, &f, 4);
        return U32(v);
    }
    Bytes& Floats(std::initializer_list<float> values)
    {
        for (float f : values)
            F32(f);
        return *this;
    }
    Bytes Cut(size_t drop) const
    {
        Bytes b = *this;
        b.data.resize(data.size() - drop);
        return b;
    }
    std::string data;
};

class LoadableAnimation : public MobrixCore::HGEAnimation {
public:
    explicit LoadableAnimation(const std::string& name) { SetName(name); }
    using MobrixCore::HGEAnimation::Init;
    using MobrixCore::HGEAnimation::Release;
};

class HGEAnimationTest : public TestSupport::BackendLogFixture {
protected:
    std::string Put(const Bytes& bytes) { return PutFile("anims", bytes.data); }

    std::string FailureOf(LoadableAnimation& a)
    {
        return TestSupport::FailureText([&] { a.Init(); });
    }

    static AnimationKey::KeyValue At(const EngineCore::Animation& a, float t)
    {
        AnimationKey::KeyValue v;
        EXPECT_TRUE(a.Sample(t, false, v)) << t;
        return v;
    }
};

}  // namespace

TEST_F(HGEAnimationTest, EmptyFileLoadsAndLogs)
{
    LoadableAnimation a(Put(Bytes().Magic().U32(0).U32(0)));
    EXPECT_FALSE(a.IsValid());
    a.Init();
    EXPECT_TRUE(a.IsValid());
    EXPECT_EQ(0u, a.GetNumKeys());
    const std::string name = a.GetName();
    EXPECT_EQ((std::vector<std::string>{"Animation_Load (" + name + ")...", "Animation_Load (" + name + ")...ok"}),
              Log());

    ClearLog();
    a.Release();
    a.Release();
    EXPECT_FALSE(a.IsValid());
    EXPECT_EQ((std::vector<std::string>{"Animation_Free (" + name + ")...ok"}), Log());
}

TEST_F(HGEAnimationTest, ChannelsFollowTheRecordOrder)
{
    // Scale and frame: 20-byte records; frames stored as floats truncate toward zero.
    LoadableAnimation frames(Put(Bytes()
                                     .Magic()
                                     .U32(2)
                                     .U32(0x21)
                                     .Floats({0.0f, 1, 2, 3, 2.9f})
                                     .Floats({1.0f, 4, 5, 6, -1.5f})));
    frames.Init();
    ASSERT_EQ(2u, frames.GetNumKeys());
    EXPECT_EQ(1.0f, frames.GetLength());
    EXPECT_EQ(2, At(frames, 0).frame);
    EXPECT_EQ(3.0f, At(frames, 0).scale.z);
    EXPECT_EQ(-1, At(frames, 1).frame);
    EXPECT_EQ(4.0f, At(frames, 1).scale.x);

    // Scale, then translation, then rotation, then the rest, whatever the bits.
    LoadableAnimation all(Put(Bytes().Magic().U32(1).U32(0x3F | 0x80).Floats(
        {0.5f, 1, 2, 3, 4, 5, 6, 0, 0, 0.6f, 0.8f, 0.25f, 7, 8, 9, 3})));
    all.Init();
    const AnimationKey::KeyValue v = At(all, 0.5f);
    EXPECT_EQ(1.0f, v.scale.x);
    EXPECT_EQ(6.0f, v.translation.z);
    EXPECT_EQ(0.6f, v.rotation.z);
    EXPECT_EQ(0.8f, v.rotation.w);
    EXPECT_EQ(0.25f, v.opacity);
    EXPECT_EQ(9.0f, v.diffuseColor.z);
    EXPECT_EQ(3, v.frame);
}

TEST_F(HGEAnimationTest, VertexTracksBecomeKeysAtEveryDistinctTime)
{
    // One channel key first; then track 0 with records at 0 and 1, track 1 at 0.5 only.
    LoadableAnimation a(Put(Bytes()
                                .Magic()
                                .U32(1)
                                .U32(0x40)
                                .F32(-1.0f)
                                .U32(2)
                                .U32(2)
                                .U32(1)
                                .Floats({0.0f, 0, 10, 99})
                                .Floats({1.0f, 4, 20, 99})
                                .Floats({0.5f, 7, 8, 9})
                                .Floats({1234.0f})));  // bytes after the section are ignored
    a.Init();
    ASSERT_EQ(4u, a.GetNumKeys());
    EXPECT_EQ(-1.0f, a.GetFrameTime(0));  // channel keys come first
    EXPECT_EQ(0.0f, a.GetFrameTime(1));
    EXPECT_EQ(0.5f, a.GetFrameTime(2));
    EXPECT_EQ(1.0f, a.GetFrameTime(3));
    struct Case {
        float t;
        std::vector<float> values;
    } cases[] = {
        {0.0f, {0, 10, 99, 7, 8, 9}},  // track 1 holds its only record before it
        {0.5f, {2, 15, 99, 7, 8, 9}},  // track 0 halfway between its records
        {1.0f, {4, 20, 99, 7, 8, 9}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.values, At(a, c.t).vertexData) << c.t;
}

TEST_F(HGEAnimationTest, BrokenFilesAreDataErrors)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const Bytes oneKey = Bytes().Magic().U32(1).U32(0x01).Floats({0, 1, 2, 3});
    const Bytes vertexHead = Bytes().Magic().U32(0).U32(0x40);
    // Every track holds one record at a time of its own: as many keys as tracks, each
    // with three values per track, which is more than a loader should build.
    Bytes tooManyValues = Bytes(vertexHead).U32(4800);
    for (int i = 0; i < 4800; ++i)
        tooManyValues.U32(1);
    for (int i = 0; i < 4800; ++i)
        tooManyValues.Floats({static_cast<float>(i), 0, 0, 0});
    const std::string badMagic = "the magic is not \"kT.animation.bin\" and its NUL";
    // Each refusal is logged with the byte it was found at and what was wrong there.
    struct Case {
        const char* name;
        Bytes bytes;
        uint64_t byte;
        std::string what;
    } cases[] = {
        {"empty file", Bytes(), 0, "the file ends inside the 17-byte magic"},
        {"short magic", Bytes().Magic().Cut(1), 0, "the file ends inside the 17-byte magic"},
        {"wrong magic", Bytes().Magic().Cut(17).U32(0).U32(0).U32(0).U32(0).U32(0).U32(0), 0, badMagic},
        {"magic without NUL", Bytes().Magic().Cut(1).U32(1).U32(0).U32(0).U32(0).U32(0), 0, badMagic},
        {"no key count", Bytes().Magic(), 17, "the file ends inside the key count"},
        {"cut flags", Bytes().Magic().U32(0).U32(0).Cut(1), 21, "the file ends inside the channel flags"},
        {"cut inside the last key", oneKey.Cut(1), 25,
         "the key count 1 with keys of 16 bytes needs 16 bytes, and 15 are left"},
        {"huge key count", Bytes().Magic().U32(0xFFFFFFFFu).U32(0x3F).Floats({0, 1, 2, 3}), 25,
         "the key count 4294967295 with keys of 64 bytes needs 274877906880 bytes, and 16 are left"},
        {"no track count", vertexHead, 25, "the file ends inside the vertex track count"},
        {"huge track count", Bytes(vertexHead).U32(0x40000000u).U32(1), 29,
         "1073741824 vertex tracks need more record counts than the 4 bytes left hold"},
        {"track without records", Bytes(vertexHead).U32(2).U32(1).U32(0).Floats({0, 1, 2, 3}), 33,
         "vertex track 2 has a record count of 0"},
        {"huge record count", Bytes(vertexHead).U32(1).U32(0xFFFFFFFFu).Floats({0, 1, 2, 3}), 29,
         "the vertex record counts ask for more records than the 16 bytes left hold"},
        {"cut record", Bytes(vertexHead).U32(1).U32(2).Floats({0, 1, 2, 3, 1, 1, 2}), 33,
         "2 vertex records of 16 bytes need more than the 28 bytes left"},
        {"record time not a number", Bytes(vertexHead).U32(1).U32(1).Floats({nan, 1, 2, 3}), 33,
         "the time of vertex record 1 is not a number"},
        {"too many vertex values", tooManyValues, 29 + 4800 * 4 + 4800 * 16,
         "4800 distinct times of 4800 vertex tracks would make more than 2^26 values"},
        {"keys, then a broken vertex section",
         Bytes().Magic().U32(2).U32(0x41).Floats({0, 1, 2, 3}).Floats({1, 1, 2, 3}).U32(1).U32(0), 61,
         "vertex track 1 has a record count of 0"},
    };
    for (const Case& c : cases) {
        LoadableAnimation a(Put(c.bytes));
        const std::string name = a.GetName();
        ClearLog();
        EXPECT_EQ("File: \"Base\\HGEAnimation.cpp\"\nLine: 120\n\nError: Resource (" + name + ") data error.",
                  FailureOf(a))
            << c.name;
        EXPECT_EQ((std::vector<std::string>{"Animation_Load (" + name + ")...",
                                            "Animation file (" + name + ") is refused at byte " +
                                                std::to_string(c.byte) + ": " + c.what + "."}),
                  Log())
            << c.name;
        EXPECT_FALSE(a.IsValid()) << c.name;
        // A failed load keeps no key, and trying again adds none.
        EXPECT_EQ(0u, a.GetNumKeys()) << c.name;
        FailureOf(a);
        EXPECT_EQ(0u, a.GetNumKeys()) << c.name;
        EXPECT_EQ(0.0f, a.GetLength()) << c.name;
    }
}

TEST_F(HGEAnimationTest, MissingNameOrFile)
{
    LoadableAnimation unnamed("");
    EXPECT_THAT(FailureOf(unnamed), EndsWith("Error: Resource must have name."));
    LoadableAnimation missing("anims/none.bin");
    EXPECT_THAT(FailureOf(missing), EndsWith("Error: Resource (anims/none.bin) loading error."));
    const std::vector<std::string> log = Log();
    ASSERT_EQ(2u, log.size());
    EXPECT_EQ("Animation_Load (anims/none.bin)...", log[0]);
    EXPECT_THAT(log[1], testing::StartsWith("File (anims/none.bin) was looked for in the data folders ("));
    EXPECT_FALSE(missing.IsValid());
}

TEST_F(HGEAnimationTest, SecondInitReloads)
{
    LoadableAnimation a(Put(Bytes().Magic().U32(1).U32(0).F32(2.0f)));
    a.Init();
    a.Init();
    EXPECT_EQ(1u, a.GetNumKeys());
    EXPECT_EQ(2.0f, a.GetLength());
    const std::vector<std::string> log = Log();
    EXPECT_EQ(1, std::count(log.begin(), log.end(), "Animation_Free (" + std::string(a.GetName()) + ")...ok"));
}
