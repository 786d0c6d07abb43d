#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "engine/Input/DeviceManager.h"
#include "engine/Input/InputSystem.h"

using namespace EngineCore;

namespace {
struct RecordingManager : DeviceManager {
    std::string calls;
    void Init() override { calls += "I"; }
    void Release() override { calls += "R"; }
    void Update(float dt) override { calls += dt == 0.25f ? "U" : "?"; }
};
}  // namespace

TEST(InputSystem, ForwardsToTheInstalledManagerOnly)
{
    InputSystem& input = InputSystem::Instance();
    input.Init();
    input.Update(0.25f);
    input.Release();

    std::shared_ptr<RecordingManager> manager = std::make_shared<RecordingManager>();
    input.SetDeviceManager(manager);
    EXPECT_EQ(input.GetDeviceManager(), manager);
    input.Init();
    input.Update(0.25f);
    input.Release();
    EXPECT_EQ(manager->calls, "IUR");
    input.SetDeviceManager(nullptr);
}

TEST(InputSystem, ReplacingTheManagerDropsTheOldOne)
{
    InputSystem& input = InputSystem::Instance();
    std::shared_ptr<RecordingManager> first = std::make_shared<RecordingManager>();
    std::weak_ptr<RecordingManager> watch = first;
    input.SetDeviceManager(first);
    first.reset();
    EXPECT_FALSE(watch.expired());
    input.SetDeviceManager(std::make_shared<RecordingManager>());
    EXPECT_TRUE(watch.expired());
    input.SetDeviceManager(nullptr);
}
