#include <boost/lexical_cast.hpp>

#include <memory>
#include <string>
#include <vector>

#include "engine/FileSystem/CachedFile.h"
#include "engine/FileSystem/FileSystem.h"
#include "tests/launcher/LauncherFixture.h"

using namespace LauncherTest;

namespace {

struct Expected {
    std::string startupScript = "Loading/Scripts/Startup.lua";
    int bpp = 32, width = 1024, height = 768;
    bool windowed = false, noSound = false;
};

std::string FileText(const std::string& name)
{
    std::shared_ptr<EngineCore::CachedFile> file;
    if (!EngineCore::FileSystem::Instance().GetFile(name, file) || !file)
        return "<missing>";
    return std::string(reinterpret_cast<const char*>(file->GetData()), file->GetSize());
}

}  // namespace

class CommandLineTest : public LauncherFixture {
protected:
    // Reads `arguments` (after the program's path) into a fresh launcher.
    const ApplicationCore::Application::Impl& Parse(const std::vector<std::string>& arguments)
    {
        argv.assign({"Keldry"});
        for (const std::string& argument : arguments)
            argv.push_back(argument);
        std::vector<const char*> pointers;
        for (const std::string& argument : argv)
            pointers.push_back(argument.c_str());
        application.reset(new ApplicationCore::Application(static_cast<int>(pointers.size()), pointers.data(),
                                                           Services()));
        application->ParseCommandLine();
        return application->GetSettings();
    }

    std::vector<std::string> argv;
    std::unique_ptr<ApplicationCore::Application> application;
};

namespace {

// The file system's index outlives a test: a name that no earlier run indexed.
std::string FreshName(const std::string& stem)
{
    static int runs = 0;
    return stem + std::to_string(++runs) + ".lua";
}

}  // namespace

TEST_F(CommandLineTest, OptionsSetTheLaunchSettings)
{
    const struct {
        std::vector<std::string> arguments;
        Expected expected;
    } rows[] = {
        {{}, {}},
        {{"-windowed"}, {"Loading/Scripts/Startup.lua", 32, 1024, 768, true, false}},
        {{"-script"}, {}},
        {{"-bpp", "16", "-width", "+800", "-height", "-1"}, {"Loading/Scripts/Startup.lua", 16, 800, -1}},
        {{"-width", "800", "-width", "640"}, {"Loading/Scripts/Startup.lua", 32, 640, 768}},
        {{"-height", "0", "-bpp"}, {"Loading/Scripts/Startup.lua", 32, 1024, 0}},
        {{"-Windowed", "-NOSOUND", "--nosound", "/nosound", "nosound", "-windowed=1"}, {}},
        // A value is taken whatever it looks like, and never read as an option.
        {{"-script", "-windowed"}, {"-windowed"}},
        {{"-script", "-bpp", "-nosound"}, {"-bpp", 32, 1024, 768, false, true}},
        {{"-nosound", "-script", "Other.lua", "-windowed"}, {"Other.lua", 32, 1024, 768, true, true}},
        {{"-windowed", "-script", "A.lua", "-script", "B.lua"}, {"B.lua", 32, 1024, 768, true, false}},
    };
    for (const auto& row : rows) {
        std::string label;
        for (const std::string& argument : row.arguments)
            label += argument + " ";
        const ApplicationCore::Application::Impl& settings = Parse(row.arguments);
        EXPECT_EQ(settings.startupScript, row.expected.startupScript) << label;
        EXPECT_EQ(settings.preStartupScript, "Loading/Scripts/PreStartup.lua") << label;
        EXPECT_EQ(settings.screenSettings.bpp, row.expected.bpp) << label;
        EXPECT_EQ(settings.screenSettings.width, row.expected.width) << label;
        EXPECT_EQ(settings.screenSettings.height, row.expected.height) << label;
        EXPECT_EQ(settings.screenSettings.spareWidth, 1024) << label;
        EXPECT_EQ(settings.screenSettings.spareHeight, 768) << label;
        EXPECT_EQ(settings.screenSettings.windowed, row.expected.windowed) << label;
        EXPECT_FALSE(settings.screenSettings.stretch) << label;
        EXPECT_EQ(settings.noSound, row.expected.noSound) << label;
        EXPECT_TRUE(settings.backEnd) << label;
    }
}

TEST_F(CommandLineTest, BaseIsIndexedOnlyWithoutArguments)
{
    const std::string baseOnly = FreshName("BaseOnly");
    folder.WriteFile("Base/" + baseOnly, "x = 1");
    Parse({"-windowed"});
    EXPECT_EQ(FileText(baseOnly), "<missing>");
    Parse({});
    EXPECT_EQ(FileText(baseOnly), "x = 1");
}

TEST_F(CommandLineTest, ResourceFoldersAreIndexedAtOnceInOrder)
{
    const time_t same = TestSupport::UtcTime(2020, 1, 1);
    for (const char* name : {"A", "B"}) {
        folder.WriteFile(std::string(name) + "/Shared.lua", name);
        folder.SetModificationTime(std::string(name) + "/Shared.lua", same);
    }
    folder.WriteFile("A/OnlyA.lua", "a");
    const std::string baseOnly = FreshName("BaseOnly");
    folder.WriteFile("Base/" + baseOnly, "x = 1");
    // The back-end is made after both folders are in the index.
    std::string seenWhenMade;
    auto services = Services();
    services.makeBackEnd = [&] {
        seenWhenMade = FileText("Shared.lua") + FileText("OnlyA.lua");
        return std::make_shared<FakeBackEnd>(record);
    };
    const char* argv[] = {"Keldry", "-resource", "A", "-resource", "B"};
    ApplicationCore::Application application(5, argv, services);
    application.ParseCommandLine();
    // Equal dates: the folder indexed later wins.
    EXPECT_EQ(seenWhenMade, "Ba");
    EXPECT_EQ(FileText(baseOnly), "<missing>");
}

TEST_F(CommandLineTest, ANumberMustBeTheWholeTextOfASigned32BitInteger)
{
    for (const char* option : {"-bpp", "-width", "-height"}) {
        for (const char* value : {"16x", "1e3", "1.5", "2147483648", "-2147483649", " 16", "16 ", ""}) {
            backEndsMade = 0;
            try {
                Parse({option, value});
                ADD_FAILURE() << option << " '" << value << "' was accepted";
            } catch (const boost::bad_lexical_cast& error) {
                EXPECT_STREQ(error.what(), "bad lexical cast: source type value could not be interpreted as target");
            }
            EXPECT_EQ(backEndsMade, 0) << option << " '" << value << "'";
        }
    }
    EXPECT_EQ(Parse({"-width", "2147483647", "-height", "-2147483648"}).screenSettings.width, 2147483647);
    EXPECT_EQ(application->GetSettings().screenSettings.height, -2147483647 - 1);
}
