#include <gtest/gtest.h>

#include <unistd.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/FileSystem/CachedFile.h"
#include "engine/FileSystem/FileInfo.h"
#include "engine/FileSystem/FileLoader.h"
#include "engine/FileSystem/FileSystem.h"
#include "engine/Resources/Resource.h"
#include "engine/Resources/ResourceManager.h"
#include "engine/System/SystemLogger.h"
#include "tests/support/FakeResource.h"
#include "tools/pack/PackWriter.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestLogWriter.h"

using namespace EngineCore;
using TestSupport::FakeResourceCreator;
using PackTool::PackWriter;
using TestSupport::ResourceLog;
using TestSupport::TempFolder;

namespace {

std::string Pattern(size_t size)
{
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>('a' + i % 23);
    return bytes;
}

// Every reading of the clock advances it by a fixed step.
class SteppingClock {
public:
    explicit SteppingClock(float step)
    {
        auto now = std::make_shared<float>(0.0f);
        FileLoader::SetClock([now, step] {
            const float t = *now;
            *now += step;
            return t;
        });
    }
    ~SteppingClock() { FileLoader::SetClock(nullptr); }
};

FileInfo Info(const std::string& name)
{
    FileInfo info;
    EXPECT_TRUE(FileSystem::Instance().GetFileInfo(name, info)) << name;
    return info;
}

}  // namespace

TEST(FileLoader, ReadsChunksWithinTheTimeSlice)
{
    struct Case {
        float clockStep;
        float slice;
        size_t size;
        int callsToComplete;  // LoadAsync, then Update; 0: never completes
    } cases[] = {
        {0.0f, 0.05f, 2049, 1},   // the slice never runs out: the whole file at once
        {1.0f, 0.05f, 2049, 3},   // the slice runs out after every chunk: still one per call
        {0.02f, 0.05f, 4096, 2},  // three chunks fit in a slice
        {0.02f, 0.05f, 3072, 1},
        {1.0f, 0.05f, 0, 1},      // an empty file is complete at once
        {0.0f, 0.0f, 10, 0},      // a slice of 0 reads nothing
    };
    TempFolder root;
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(n);
        const std::string name = "slices/" + std::to_string(n++) + ".bin";
        root.WriteFile(name, Pattern(c.size));
        FileSystem::Instance().AddDirectory(root.Path());
        SteppingClock clock(c.clockStep);

        FileLoader loader;
        ASSERT_TRUE(loader.LoadAsync(Info(name), c.slice));
        int calls = 1;
        while (!loader.IsCompleted() && calls < 10) {
            ASSERT_TRUE(loader.Update(c.slice));
            ++calls;
        }
        if (c.callsToComplete == 0) {
            EXPECT_FALSE(loader.IsCompleted());
            continue;
        }
        EXPECT_EQ(c.callsToComplete, calls);
        ASSERT_TRUE(loader.GetFile());
        EXPECT_EQ(Pattern(c.size), std::string(reinterpret_cast<const char*>(loader.GetFile()->GetData()),
                                               static_cast<size_t>(loader.GetFile()->GetSize())));
    }
}

TEST(FileLoader, AFileThatShrankFailsAndAPackEntryLoadsWhole)
{
    TempFolder root;
    root.WriteFile("shrink/a.bin", Pattern(5000));
    PackWriter pack;
    pack.AddEntry("shrink/packed.bin", Pattern(5000));
    ASSERT_TRUE(pack.Write(root / "shrink.resources"));
    FileSystem::Instance().AddDirectory(root.Path());
    SteppingClock clock(1.0f);

    FileLoader loader;
    ASSERT_TRUE(loader.LoadAsync(Info("shrink/a.bin"), 0.05f));
    ASSERT_EQ(0, truncate((root / "shrink/a.bin").c_str(), 1500));
    EXPECT_FALSE(loader.Update(0.05f));
    EXPECT_FALSE(loader.IsCompleted());

    FileLoader packed;
    ASSERT_TRUE(packed.LoadAsync(Info("shrink/packed.bin"), 0.0f));
    EXPECT_TRUE(packed.IsCompleted());
    EXPECT_EQ(5000, packed.GetFile()->GetSize());

    // A copy takes the open handle over and goes on reading.
    FileLoader original;
    root.WriteFile("shrink/b.bin", Pattern(3000));
    FileSystem::Instance().AddDirectory(root.Path(), "shrink");
    ASSERT_TRUE(original.LoadAsync(Info("shrink/b.bin"), 0.05f));
    FileLoader copy(original);
    EXPECT_TRUE(copy.Update(0.05f));
    EXPECT_TRUE(copy.Update(0.05f));
    EXPECT_TRUE(copy.IsCompleted());
    EXPECT_FALSE(original.Update(0.05f));
}

TEST(BackgroundPrecache, MakesResourcesFrameByFrameAndSkipsBrokenFiles)
{
    ResourceManager& manager = ResourceManager::Instance();
    FileSystem& fs = FileSystem::Instance();
    manager.Clear();
    // Names precached before must be read again.
    fs.FreeCache();
    auto log = std::make_shared<ResourceLog>();
    FakeResourceCreator textures(Resource::RT_TEXTURE, log, "broken");
    FakeResourceCreator streams(Resource::RT_SOUND_STREAM, log);
    FakeResourceCreator animations(Resource::RT_ANIMATION, log);
    std::vector<std::string> logged;
    TestSupport::InstallLogWriter([&logged](const char* text) { logged.emplace_back(text); });
    SteppingClock clock(1.0f);  // one chunk per frame

    TempFolder root;
    root.WriteFile("bg/gone.png", "x");
    root.WriteFile("bg/shrinks.ogg", Pattern(5000));
    root.WriteFile("bg/a.png", Pattern(1500));
    root.WriteFile("bg/broken.png", "corrupt");
    root.WriteFile("bg/plain.dat", "data");
    root.WriteFile("bg/z.animation", "anim");
    PackWriter pack;
    pack.AddEntry("bg/p.jpg", Pattern(3000));
    ASSERT_TRUE(pack.Write(root / "bg.resources"));
    fs.AddDirectory(root.Path());
    ASSERT_EQ(0, unlink((root / "bg/gone.png").c_str()));

    EXPECT_FALSE(fs.PrecacheFileAcync("bg/unknown.png"));
    for (const char* name : {"bg/gone.png", "bg/shrinks.ogg", "bg/a.png", "bg/broken.png", "bg/plain.dat",
                             "bg/p.jpg", "bg/z.animation", "bg/a.png"})
        EXPECT_TRUE(fs.PrecacheFileAcync(name)) << name;

    manager.Update(0.0f);  // gone.png cannot be opened: dropped
    manager.Update(0.0f);  // shrinks.ogg: first chunk
    ASSERT_EQ(0, truncate((root / "bg/shrinks.ogg").c_str(), 100));
    for (int frame = 0; frame < 30; ++frame)
        manager.Update(0.0f);

    for (const char* made : {"bg/a.png", "bg/p.jpg", "bg/z.animation"})
        EXPECT_TRUE(manager.IsExist(made)) << made;
    for (const char* skipped : {"bg/gone.png", "bg/shrinks.ogg", "bg/broken.png", "bg/plain.dat"})
        EXPECT_FALSE(manager.IsExist(skipped)) << skipped;
    EXPECT_EQ(4, log->inits);  // a.png once (queued twice), p.jpg, z.animation, broken.png
    ASSERT_EQ(1u, logged.size());
    EXPECT_NE(std::string::npos, logged[0].find("Error: Resource (bg/broken.png) data error."));

    // The precache holds a share of its resources: the manager does not free them ...
    std::shared_ptr<Resource> texture;
    ASSERT_TRUE(manager.GetResource("bg/a.png", Resource::RT_TEXTURE, texture));
    EXPECT_EQ(3, texture.use_count());
    texture.reset();
    manager.Update(0.0f);
    EXPECT_TRUE(manager.IsExist("bg/a.png"));
    // ... until the file is read by name, which drops that share.
    ASSERT_EQ(0, unlink((root / "bg/a.png").c_str()));
    std::shared_ptr<CachedFile> file;
    ASSERT_TRUE(fs.GetFile("bg/a.png", file));  // from the cache
    EXPECT_EQ(Pattern(1500), std::string(reinterpret_cast<const char*>(file->GetData()), 1500));
    manager.Update(0.0f);
    EXPECT_FALSE(manager.IsExist("bg/a.png"));

    // Clear lets the file system's remaining shares go too.
    manager.Clear();
    EXPECT_EQ(log->created, log->destroyed);
    SystemLogger::Instance().SetLogger(nullptr);
}
