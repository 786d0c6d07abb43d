#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "engine/Resources/Resource.h"
#include "engine/Resources/ResourceFactory.h"
#include "engine/Resources/ResourceManager.h"
#include "tests/support/FakeResource.h"

using namespace EngineCore;
using TestSupport::FakeResource;
using TestSupport::FakeResourceCreator;
using TestSupport::ResourceLog;

namespace {

class ResourceManagerTest : public ::testing::Test {
protected:
    void SetUp() override { ResourceManager::Instance().Clear(); }
    void TearDown() override { ResourceManager::Instance().Clear(); }

    ResourceManager& manager = ResourceManager::Instance();
    std::shared_ptr<ResourceLog> log = std::make_shared<ResourceLog>();

    void AddUnshared(const std::string& name, Resource::ResourceType type)
    {
        manager.AddResource(name, std::make_shared<FakeResource>(type, log));
    }
};

}  // namespace

TEST_F(ResourceManagerTest, CreatesOnceAndSharesByNameWhateverTypeIsAsked)
{
    FakeResourceCreator textures(Resource::RT_TEXTURE, log);
    FakeResourceCreator sounds(Resource::RT_SOUND, log);

    std::shared_ptr<Resource> first, second, third;
    ASSERT_TRUE(manager.GetResource("x", Resource::RT_TEXTURE, first));
    ASSERT_TRUE(manager.GetResource("x", Resource::RT_TEXTURE, second));
    ASSERT_TRUE(manager.GetResource("x", Resource::RT_SOUND, third));
    EXPECT_EQ(first, second);
    EXPECT_EQ(first, third);
    EXPECT_EQ(Resource::RT_TEXTURE, third->GetType());
    EXPECT_STREQ("x", first->GetName());
    EXPECT_EQ(1, log->created);
    EXPECT_EQ(1, log->inits);
    EXPECT_TRUE(manager.IsExist("x"));
    EXPECT_FALSE(manager.IsExist("X"));
}

TEST_F(ResourceManagerTest, NoCreatorOrEmptyResultStoresNothing)
{
    std::shared_ptr<Resource> out;
    EXPECT_FALSE(manager.GetResource("group", Resource::RT_SPRITE_GROUP, out));
    EXPECT_FALSE(manager.GetResource("bad", 13, out));
    EXPECT_FALSE(manager.GetResource("bad", -1, out));
    ASSERT_TRUE(ResourceFactory::Instance().RegisterResourceCreator(
        Resource::RT_FONT, [] { return std::shared_ptr<Resource>(); }));
    EXPECT_FALSE(manager.GetResource("font", Resource::RT_FONT, out));
    EXPECT_FALSE(out);
    EXPECT_FALSE(manager.IsExist("font"));
    EXPECT_TRUE(ResourceFactory::Instance().UnregisterResourceCreator(Resource::RT_FONT));
}

TEST_F(ResourceManagerTest, InitFailurePassesToTheCallerAndStoresNothing)
{
    FakeResourceCreator textures(Resource::RT_TEXTURE, log, "broken");
    std::shared_ptr<Resource> out;
    try {
        manager.GetResource("broken.png", Resource::RT_TEXTURE, out);
        FAIL() << "Init failure was swallowed";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string::npos, std::string(e.what()).find("Resource (broken.png) data error."));
    }
    EXPECT_FALSE(out);
    EXPECT_FALSE(manager.IsExist("broken.png"));
    EXPECT_EQ(1, log->destroyed);
    EXPECT_TRUE(manager.GetResource("fine.png", Resource::RT_TEXTURE, out));
}

TEST_F(ResourceManagerTest, CreatorRegistrationEdges)
{
    ResourceFactory& factory = ResourceFactory::Instance();
    auto make = [this] { return std::make_shared<FakeResource>(Resource::RT_CURSOR, log); };
    struct Case {
        int type;
        bool withFunction;
        bool registers;
    } cases[] = {
        {Resource::RT_CURSOR, true, true},  {Resource::RT_CURSOR, false, false}, {-1, true, false},
        {13, true, false},                  {99, true, false},                   {0, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        ResourceFactory::Creator creator;
        if (c.withFunction)
            creator = make;
        EXPECT_EQ(c.registers, factory.RegisterResourceCreator(c.type, creator));
    }
    // The failed empty registration kept the cursor creator.
    std::shared_ptr<Resource> cursor;
    EXPECT_TRUE(manager.GetResource("cursor", Resource::RT_CURSOR, cursor));

    for (int type : {-1, 13, 99})
        EXPECT_FALSE(factory.UnregisterResourceCreator(type));
    EXPECT_TRUE(factory.UnregisterResourceCreator(Resource::RT_CURSOR));
    EXPECT_FALSE(factory.UnregisterResourceCreator(Resource::RT_CURSOR));
    EXPECT_TRUE(factory.UnregisterResourceCreator(0));
    EXPECT_FALSE(factory.UnregisterResourceCreator(Resource::RT_SPRITE_GROUP));
}

TEST_F(ResourceManagerTest, UpdateFreesAtMostOneTextureAndTwentyOthersPerFrame)
{
    struct Case {
        const char* what;
        std::vector<std::pair<std::string, Resource::ResourceType>> resources;
        int sounds;  // unshared sounds named "sound100"... added after the listed resources
        std::vector<int> remainingAfterEachFrame;
    } cases[] = {
        {"two textures", {{"t1", Resource::RT_TEXTURE}, {"t2", Resource::RT_TEXTURE}}, 0, {1, 0}},
        {"25 sounds", {}, 25, {5, 0}},
        {"texture first in name order, then 25 sounds", {{"a.texture", Resource::RT_TEXTURE}}, 25, {5, 0}},
        {"a second texture ends the walk before a sound that would fit",
         {{"s01", Resource::RT_SOUND}, {"t1", Resource::RT_TEXTURE}, {"t2", Resource::RT_TEXTURE},
          {"u1", Resource::RT_SOUND}},
         0, {2, 0}},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.what);
        manager.Clear();
        for (int i = 0; i < c.sounds; ++i)
            c.resources.emplace_back("sound" + std::to_string(100 + i), Resource::RT_SOUND);
        for (const auto& r : c.resources)
            AddUnshared(r.first, r.second);
        for (size_t frame = 0; frame < c.remainingAfterEachFrame.size(); ++frame) {
            manager.Update(0.0f);
            int remaining = 0;
            for (const auto& r : c.resources)
                remaining += manager.IsExist(r.first) ? 1 : 0;
            EXPECT_EQ(c.remainingAfterEachFrame[frame], remaining) << "frame " << frame;
        }
    }
}

TEST_F(ResourceManagerTest, SharedResourcesAreNeverFreedAndReleaseIsNotCalledByUpdate)
{
    auto held = std::make_shared<FakeResource>(Resource::RT_SOUND, log);
    manager.AddResource("held", held);
    AddUnshared("loose", Resource::RT_SOUND);
    for (int frame = 0; frame < 3; ++frame)
        manager.Update(0.0f);
    EXPECT_TRUE(manager.IsExist("held"));
    EXPECT_FALSE(manager.IsExist("loose"));
    EXPECT_EQ(1, log->destroyed);
    EXPECT_EQ(0, log->releases);
}

TEST_F(ResourceManagerTest, AddReplacesAndRemoveDropsWithoutRelease)
{
    auto first = std::make_shared<FakeResource>(Resource::RT_ANIMATION, log);
    auto second = std::make_shared<FakeResource>(Resource::RT_ANIMATION, log);
    EXPECT_TRUE(manager.AddResource("anim", first));
    EXPECT_STREQ("anim", first->GetName());
    EXPECT_TRUE(manager.AddResource("anim", second));
    first.reset();
    EXPECT_EQ(1, log->destroyed);
    std::shared_ptr<Resource> got;
    EXPECT_TRUE(manager.GetResource("anim", Resource::RT_ANIMATION, got));
    EXPECT_EQ(second, got);

    EXPECT_FALSE(manager.AddResource("empty", nullptr));
    EXPECT_FALSE(manager.IsExist("empty"));
    EXPECT_TRUE(manager.RemoveResource(second));
    EXPECT_FALSE(manager.RemoveResource(second));
    EXPECT_FALSE(manager.RemoveResource(nullptr));
    EXPECT_FALSE(manager.IsExist("anim"));
    EXPECT_EQ(0, log->releases);
}

TEST_F(ResourceManagerTest, ClearReleasesEachOnceInNameOrderThenCreatesAfresh)
{
    FakeResourceCreator sounds(Resource::RT_SOUND, log);
    std::shared_ptr<Resource> keep;
    for (const char* name : {"b", "c", "a"}) {
        std::shared_ptr<Resource> r;
        ASSERT_TRUE(manager.GetResource(name, Resource::RT_SOUND, r));
        if (std::string(name) == "c")
            keep = r;
    }
    manager.Clear();
    EXPECT_EQ((std::vector<std::string>{"a", "b", "c"}), log->releaseOrder);
    EXPECT_FALSE(manager.IsExist("a"));
    EXPECT_EQ(2, log->destroyed);  // "c" lives on with its holder

    std::shared_ptr<Resource> again;
    ASSERT_TRUE(manager.GetResource("c", Resource::RT_SOUND, again));
    EXPECT_NE(keep, again);
    manager.Clear();
    EXPECT_EQ(4, log->releases);
}

TEST_F(ResourceManagerTest, EntryChangeCountMovesWhenWhatANameGivesChanges)
{
    // What a holder may rely on: while the count stands, a name gives what it gave.
    FakeResourceCreator sounds(Resource::RT_SOUND, log);
    std::shared_ptr<Resource> held;
    auto fresh = [this] { return std::make_shared<FakeResource>(Resource::RT_SOUND, log); };
    struct Case {
        const char* what;
        std::function<void()> change;
        bool moves;
    };
    const Case cases[] = {
        {"a look-up", [&] { manager.GetResource("held", Resource::RT_SOUND, held); }, false},
        {"a new name made by a request", [&] { manager.GetResource("made", Resource::RT_SOUND, held); }, false},
        {"a new name added", [&] { manager.AddResource("added", fresh()); }, false},
        {"an unshared entry freed",
         [&] {
             manager.Update(0.0f);
             EXPECT_FALSE(manager.IsExist("unshared"));
         },
         false},
        {"a removal of a name not there", [&] { manager.RemoveResource(fresh()); }, false},
        {"an entry replaced", [&] { manager.AddResource("held", fresh()); }, true},
        {"an entry removed", [&] { manager.RemoveResource(held); }, true},
        {"the map cleared", [&] { manager.Clear(); }, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        manager.Clear();
        ASSERT_TRUE(manager.GetResource("held", Resource::RT_SOUND, held));
        AddUnshared("unshared", Resource::RT_SOUND);
        const uint64_t before = manager.GetEntryChangeCount();
        c.change();
        EXPECT_EQ(c.moves, manager.GetEntryChangeCount() != before);
    }
}

namespace {
// A resource whose destructor and Release reach the manager, as a group dropping its members does.
class ReentrantResource : public Resource {
public:
    ReentrantResource(std::string member, std::shared_ptr<ResourceLog> log)
        : _member(std::move(member)), _log(std::move(log))
    {
        SetType(RT_SPRITE_GROUP);
    }
    ~ReentrantResource() override
    {
        ResourceManager::Instance().IsExist(_member);
        ++_log->destroyed;
    }
    bool IsValid() const override { return true; }

protected:
    void Release() override
    {
        ++_log->releases;
        std::shared_ptr<Resource> member;
        if (ResourceManager::Instance().GetResource(_member, RT_SPRITE, member))
            ResourceManager::Instance().RemoveResource(member);
    }

private:
    std::string _member;
    std::shared_ptr<ResourceLog> _log;
};
}  // namespace

TEST_F(ResourceManagerTest, ReleaseAndDestructorsMayReachTheManager)
{
    auto groups = std::make_shared<ResourceLog>();
    for (int i = 0; i < 5; ++i) {
        manager.AddResource("group" + std::to_string(i), std::make_shared<ReentrantResource>("member", groups));
        AddUnshared("member" + std::to_string(i), Resource::RT_SPRITE);
    }
    // All ten are unshared: the first frame frees them, their destructors reaching the manager.
    manager.Update(0.0f);
    EXPECT_EQ(5, groups->destroyed);
    EXPECT_EQ(5, log->destroyed);
    for (int i = 0; i < 5; ++i)
        EXPECT_FALSE(manager.IsExist("group" + std::to_string(i)));
    manager.Update(0.0f);
    AddUnshared("member0", Resource::RT_SPRITE);
    for (int i = 0; i < 3; ++i)
        manager.AddResource("group" + std::to_string(i), std::make_shared<ReentrantResource>("member0", groups));
    // Each Release looks its member up while the map is being emptied; the member is
    // already out of it, so nothing is made again and nothing is left behind.
    manager.Clear();
    EXPECT_EQ(3, groups->releases);
    EXPECT_EQ(8, groups->destroyed);
    for (const char* name : {"group0", "group1", "group2", "member0"})
        EXPECT_FALSE(manager.IsExist(name)) << name;
    EXPECT_EQ(6, log->destroyed);
}

TEST_F(ResourceManagerTest, ThreadsShareOneResourcePerNameWhileTheMainThreadFrees)
{
    FakeResourceCreator textures(Resource::RT_TEXTURE, log);
    std::atomic<bool> stop{false};
    std::atomic<int> mismatches{0};
    std::vector<std::thread> loaders;
    for (int t = 0; t < 4; ++t)
        loaders.emplace_back([&] {
            for (int round = 0; round < 200; ++round)
                for (int i = 0; i < 10; ++i) {
                    const std::string name = "shared" + std::to_string(i);
                    std::shared_ptr<Resource> a, b;
                    if (!manager.GetResource(name, Resource::RT_TEXTURE, a) ||
                        !manager.GetResource(name, Resource::RT_TEXTURE, b) || a != b || a->GetName() != name)
                        ++mismatches;
                }
        });
    std::thread freer([&] {
        while (!stop)
            manager.Update(0.0f);
    });
    for (auto& t : loaders)
        t.join();
    stop = true;
    freer.join();
    EXPECT_EQ(0, mismatches.load());
    manager.Clear();
    EXPECT_EQ(log->created, log->destroyed);
}
