#pragma once
// A launcher with a fake back-end in a temporary working folder; dialogs, error text
// and window hiding are captured instead of shown.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include "engine/FileSystem/FileSystem.h"
#include "launcher/Misc/Application.h"
#include "launcher/Misc/ApplicationImpl.h"
#include "tests/launcher/FakeBackEnd.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestDocuments.h"

namespace LauncherTest {

struct Dialog {
    ApplicationCore::DialogKind kind;
    std::string caption;
    std::string text;
};

class LauncherFixture : public ::testing::Test {
protected:
    TestSupport::TempFolder folder;
    std::string previousDirectory;
    std::shared_ptr<BackEndRecord> record = std::make_shared<BackEndRecord>();
    std::vector<Dialog> dialogs;
    std::string errors;
    int backEndsMade = 0;
    int windowsHidden = 0;
    int maxFrames = 2000;

    void SetUp() override
    {
        char buffer[4096];
        previousDirectory = getcwd(buffer, sizeof buffer) ? buffer : ".";
        ASSERT_EQ(chdir(folder.Path().c_str()), 0);
        // The profile system keeps the documents folder it found first: the tests of a
        // process share one, and each starts without a profiles file.
        TestSupport::UseTestDocumentsFolder();
        // Names repeat from test to test: what an earlier test read must not answer here.
        EngineCore::FileSystem::Instance().FreeCache();
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator(ProfilesFolder(), error))
            if (entry.path().filename().string().rfind("Profiles.dat", 0) == 0)
                std::filesystem::remove_all(entry.path(), error);
    }

    static std::string ProfilesFolder() { return TestSupport::UseTestDocumentsFolder() + "/Tollevane/Quorrel_1.0"; }
    static std::string ProfilesPath() { return ProfilesFolder() + "/Profiles.dat"; }

    void TearDown() override { EXPECT_EQ(chdir(previousDirectory.c_str()), 0); }

    std::string LockName() const { return "KeldryLauncherTest-" + std::to_string(getpid()); }

    ApplicationCore::LauncherServices Services()
    {
        ApplicationCore::LauncherServices services;
        services.makeBackEnd = [this] {
            ++backEndsMade;
            return std::make_shared<FakeBackEnd>(record, maxFrames);
        };
        services.showDialog = [this](ApplicationCore::DialogKind kind, const std::string& caption,
                                     const std::string& text, void*) { dialogs.push_back({kind, caption, text}); };
        services.hideWindow = [this](void*) { ++windowsHidden; };
        services.writeError = [this](const std::string& text) { errors += text; };
        services.lockName = LockName();
        services.logPath = [] { return std::string("/logs/Vexa.log"); };
        return services;
    }

    int Launch(const std::vector<std::string>& arguments)
    {
        std::vector<const char*> argv{"Keldry"};
        for (const std::string& argument : arguments)
            argv.push_back(argument.c_str());
        return ApplicationCore::RunLauncher(static_cast<int>(argv.size()), argv.data(), Services());
    }
};

}  // namespace LauncherTest
