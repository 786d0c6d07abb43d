// Threads that ask for the same resource name at once (the loader thread, the loading
// screen, the background precache) share one creation: one Init, one result or failure.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>

#include "engine/Resources/Resource.h"
#include "engine/Resources/ResourceFactory.h"
#include "engine/Resources/ResourceManager.h"
#include "tests/support/ThreadState.h"

using namespace EngineCore;

namespace {

const int kType = Resource::RT_SOUND;

struct Counts {
    std::atomic<int> created{0};
    std::atomic<int> inits{0};
    std::atomic<int> releases{0};
    std::atomic<bool> initStarted{false};
    std::atomic<bool> finishInit{false};
    bool failInit = false;
};

// Its Init waits until the test lets it finish, so that a second thread can ask for the
// name meanwhile.
class SlowResource : public Resource {
public:
    explicit SlowResource(Counts& counts) : _counts(counts)
    {
        SetType(RT_SOUND);
        ++_counts.created;
    }
    bool IsValid() const override { return true; }

protected:
    void Init() override
    {
        ++_counts.inits;
        _counts.initStarted = true;
        for (int i = 0; i < 500 && !_counts.finishInit; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        if (_counts.failInit)
            throw std::runtime_error("init failed for " + std::string(GetName()));
    }
    void Release() override { ++_counts.releases; }

private:
    Counts& _counts;
};

struct Outcome {
    bool found = false;
    std::shared_ptr<Resource> resource;
    std::string error = "<no error>";
};

void Ask(const std::string& name, Outcome& out)
{
    try {
        out.found = ResourceManager::Instance().GetResource(name, kType, out.resource);
    } catch (const std::exception& e) {
        out.error = e.what();
    }
}

class ResourceThreadsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResourceManager::Instance().Clear();
        ResourceFactory::Instance().RegisterResourceCreator(
            kType, [this] { return std::make_shared<SlowResource>(counts); });
    }
    void TearDown() override
    {
        ResourceManager::Instance().Clear();
        ResourceFactory::Instance().UnregisterResourceCreator(kType);
    }

    Counts counts;
};

TEST_F(ResourceThreadsTest, OneThreadInitialisesANameAndTheOthersShareItsResultOrFailure)
{
    const struct {
        bool failInit;
        const char* name;
    } rows[] = {
        {false, "Shared.Sound"},
        {true, "Broken.Sound"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        counts.created = counts.inits = counts.releases = 0;
        counts.initStarted = counts.finishInit = false;
        counts.failInit = row.failInit;

        Outcome first, second;
        std::thread firstThread([&] { Ask(row.name, first); });
        while (!counts.initStarted)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        std::atomic<pid_t> asking{0};
        std::thread secondThread([&] {
            const std::string name = row.name;
            asking = TestSupport::KernelThreadId();
            Ask(name, second);
        });
        // The first one's Init still runs and holds no lock: the second thread can only
        // be asleep waiting for it.
        EXPECT_TRUE(TestSupport::AwaitAsleep(asking)) << "the second request never waited";
        EXPECT_EQ(1, counts.created.load());
        counts.finishInit = true;
        firstThread.join();
        secondThread.join();

        EXPECT_EQ(1, counts.created.load());
        EXPECT_EQ(1, counts.inits.load());
        EXPECT_EQ(first.found, !row.failInit);
        EXPECT_EQ(second.found, first.found);
        EXPECT_EQ(second.resource, first.resource);
        EXPECT_EQ(second.error, first.error);
        EXPECT_EQ(row.failInit, ResourceManager::Instance().IsExist(row.name) == false);
        if (row.failInit) {
            EXPECT_EQ("init failed for " + std::string(row.name), first.error);
        }

        // Every resource that ran Init is released once.
        first = Outcome();
        second = Outcome();
        ResourceManager::Instance().Clear();
        EXPECT_EQ(row.failInit ? 0 : 1, counts.releases.load());
    }
}

// A name asked for again after a failure is made afresh.
TEST_F(ResourceThreadsTest, AFailedNameCanBeAskedForAgain)
{
    counts.finishInit = true;
    counts.failInit = true;
    Outcome failed;
    Ask("Again.Sound", failed);
    EXPECT_EQ("init failed for Again.Sound", failed.error);
    counts.failInit = false;
    Outcome made;
    Ask("Again.Sound", made);
    EXPECT_TRUE(made.found);
    EXPECT_EQ(2, counts.inits.load());
    EXPECT_TRUE(ResourceManager::Instance().IsExist("Again.Sound"));
}

}  // namespace
