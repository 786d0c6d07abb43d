#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <list>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "engine/Audio/MusicSystem.h"
#include "engine/Audio/SoundSystem.h"
#include "engine/FileSystem/FileSystem.h"
#include "engine/Renderer/RenderSystem.h"
#include "engine/System/SystemLogger.h"
#include "game/Base/Application.h"
#include "game/Base/GameState.h"
#include "game/Logic/Profile.h"
#include "game/Logic/ProfileSystem.h"
#include "game/Logic/ProfilesFile.h"
#include "game/Logic/PropertySystem.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestDocuments.h"
#include "tests/support/TestLogWriter.h"

using namespace GameCore;
namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<unsigned char>;

std::shared_ptr<Profile> MakeProfile(int16_t id, const std::string& name)
{
    auto profile = std::make_shared<Profile>();
    profile->id = id;
    profile->name = name;
    return profile;
}

Bytes FileWith(std::initializer_list<int16_t> ids, int16_t selected)
{
    std::list<std::shared_ptr<Profile>> profiles;
    for (int16_t id : ids)
        profiles.push_back(MakeProfile(id, "P" + std::to_string(id)));
    return EncodeProfilesFile(profiles, selected, "");
}

class ProfileSystemTest : public testing::Test {
protected:
    void SetUp() override
    {
        TestSupport::UseTestDocumentsFolder();
        path = profiles().GetProfileFilePath();
        folder = fs::path(path).parent_path().string();
        for (const std::string& aside : AsideFiles())
            fs::remove_all(aside);
        PropertySystem::Instance().Clear();
        EngineCore::RenderSystem::ScreenSettings screen;
        EngineCore::RenderSystem::Instance().ApplyScreenSettings(screen);
        TestSupport::InstallLogWriter([this](const char* text) { log.push_back(text); });
    }
    void TearDown() override
    {
        EngineCore::SystemLogger::Instance().SetLogger(std::function<void(const char*)>());
        PropertySystem::Instance().Clear();
    }

    static ProfileSystem& profiles() { return ProfileSystem::Instance(); }

    void Write(const Bytes& bytes) const
    {
        fs::remove_all(path);
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    static Bytes Read(const std::string& file)
    {
        std::ifstream in(file, std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    Bytes Read() const { return Read(path); }

    std::vector<std::string> AsideFiles() const
    {
        std::vector<std::string> found;
        for (const auto& entry : fs::directory_iterator(folder))
            if (entry.path().filename().string().rfind("Profiles.dat.", 0) == 0)
                found.push_back(entry.path().string());
        return found;
    }

    // The file on disk, decoded.
    ProfilesFileContents OnDisk() const
    {
        const Bytes bytes = Read();
        ProfilesFileContents contents;
        EXPECT_EQ(DecodeProfilesFile(bytes.data(), bytes.size(), contents), ProfilesFileStatus::Ok);
        return contents;
    }

    std::vector<int> Ids() const
    {
        std::vector<int> ids;
        std::shared_ptr<Profile> profile;
        for (unsigned i = 0; profiles().GetProfileByIndex(i, profile); ++i)
            ids.push_back(profile->id);
        return ids;
    }
    int SelectedId() const
    {
        std::shared_ptr<Profile> selected;
        return profiles().GetSelectedProfile(selected) ? selected->id : -100;
    }

    std::string path;
    std::string folder;
    std::vector<std::string> log;
};

}  // namespace

TEST_F(ProfileSystemTest, DeletingTheLastProfileLeavesAFreshFileByteForByte)
{
    Write(FileWith({4}, 4));
    profiles().Load();
    std::shared_ptr<Profile> only;
    ASSERT_TRUE(profiles().GetProfileById(4, only));
    ASSERT_TRUE(profiles().DeleteProfile(only));

    EXPECT_EQ(Ids(), std::vector<int>{0});
    EXPECT_EQ(SelectedId(), 0);
    auto fresh = std::make_shared<Profile>();
    fresh->id = 0;
    const Bytes expected = EncodeProfilesFile({fresh}, 0, "");
    EXPECT_EQ(Read(), expected);
    EXPECT_EQ(Read().size(), 61u);
    EXPECT_TRUE(AsideFiles().empty());
}

// What a load makes of a damaged file: the profiles it keeps, whether it writes the file
// anew (ending with a new, unnamed profile that it selects), and whether a copy of the
// damaged bytes is moved aside, named in one log line.
TEST_F(ProfileSystemTest, EachKindOfDamageKeepsWhatItCanAndACopyOfTheBytes)
{
    Bytes wrongMagic = FileWith({0, 1}, 1);
    wrongMagic[0] = 'K';
    Bytes countZero = FileWith({0}, 0);
    countZero[16] = 0;
    // The fourth record cut inside its name.
    Bytes cutRecord = FileWith({0, 1, 3, 5}, 1);
    cutRecord.resize(FileWith({0, 1, 3}, 1).size() + 2 + 3);
    Bytes countTooSmall = FileWith({0, 1, 2}, 1);
    countTooSmall[16] = 2;
    Bytes trailing = FileWith({0, 1}, 1);
    trailing.insert(trailing.end(), {'x', 'y'});
    struct Case {
        const char* what;
        Bytes bytes;
        std::vector<int> ids;
        int selected;
        bool rewritten;  // else the file is left as it was
        bool aside;      // a copy of the bytes moved aside, and one log line naming it
    };
    const Case cases[] = {
        // Nothing usable: the file is replaced by a fresh profile.
        {"empty", {}, {0}, 0, true, true},
        {"short", Bytes(wrongMagic.begin(), wrongMagic.begin() + 12), {0}, 0, true, true},
        {"another magic", wrongMagic, {0}, 0, true, true},
        {"count 0", countZero, {0}, 0, true, true},
        // The records before a damaged one are kept beside a new profile.
        {"record cut short", cutRecord, {0, 1, 3, 2}, 2, true, true},
        // Bytes past the records: the file stays in use.
        {"count too small", countTooSmall, {0, 1}, 1, false, true},
        {"bytes after the records", trailing, {0, 1}, 1, false, true},
        // A selection no record carries selects the first and is no damage.
        {"selection -1", FileWith({2, 0}, -1), {2, 0}, 2, false, false},
        {"selection 9", FileWith({2, 0}, 9), {2, 0}, 2, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (const std::string& aside : AsideFiles())
            fs::remove_all(aside);
        log.clear();
        Write(c.bytes);
        profiles().Load();

        EXPECT_EQ(Ids(), c.ids);
        EXPECT_EQ(SelectedId(), c.selected);
        if (c.rewritten) {
            const ProfilesFileContents now = OnDisk();
            std::vector<int> onDisk;
            for (const auto& profile : now.profiles)
                onDisk.push_back(profile->id);
            EXPECT_EQ(onDisk, c.ids);
            EXPECT_EQ(now.selectedId, c.selected);
            ASSERT_FALSE(now.profiles.empty());
            EXPECT_EQ(now.profiles.back()->name, "");
            EXPECT_EQ(now.profiles.back()->id, c.selected);
        } else {
            EXPECT_EQ(Read(), c.bytes) << "the file itself is left as it was";
        }
        const std::vector<std::string> aside = AsideFiles();
        if (!c.aside) {
            EXPECT_TRUE(aside.empty());
            EXPECT_TRUE(log.empty());
            continue;
        }
        ASSERT_EQ(aside.size(), 1u);
        EXPECT_EQ(Read(aside[0]), c.bytes) << "the damaged bytes are kept as they were";
        ASSERT_EQ(log.size(), 1u);
        EXPECT_NE(log[0].find(aside[0]), std::string::npos) << log[0];
    }
    for (const std::string& aside : AsideFiles())
        fs::remove_all(aside);
}

TEST_F(ProfileSystemTest, AFolderInPlaceOfTheFileIsMovedAsideToo)
{
    fs::remove_all(path);
    fs::create_directory(path);
    std::ofstream(path + "/inside.txt") << "kept";
    profiles().Load();
    const std::vector<std::string> aside = AsideFiles();
    ASSERT_EQ(aside.size(), 1u);
    EXPECT_TRUE(fs::exists(aside[0] + "/inside.txt"));
    EXPECT_TRUE(fs::is_regular_file(path));
    EXPECT_EQ(OnDisk().profiles.size(), Ids().size());
}

TEST_F(ProfileSystemTest, NewProfilesTakeTheSmallestFreeId)
{
    Write(FileWith({0, 1, 3}, 0));
    profiles().Load();
    std::shared_ptr<Profile> created;
    ASSERT_TRUE(profiles().CreateProfile(created));
    EXPECT_EQ(created->id, 2);
    std::shared_ptr<Profile> zero;
    ASSERT_TRUE(profiles().GetProfileById(0, zero));
    ASSERT_TRUE(profiles().DeleteProfile(zero));
    ASSERT_TRUE(profiles().CreateProfile(created));
    EXPECT_EQ(created->id, 0);
    EXPECT_FALSE(profiles().DeleteProfile(zero)) << "no longer in the list";
    EXPECT_FALSE(profiles().Select(nullptr));
}

TEST_F(ProfileSystemTest, SelectingAppliesTheProfileAndDeletingTheSelectedOneDoesNot)
{
    std::list<std::shared_ptr<Profile>> list{MakeProfile(0, "a"), MakeProfile(1, "b")};
    list.front()->soundVolume = 0.125f;
    list.front()->musicVolume = 0.25f;
    list.front()->windowed = true;
    list.front()->levelScript = "Levels/A.lua";
    list.back()->soundVolume = 0.75f;
    list.back()->levelScript = "Levels/B.lua";
    const Bytes bytes = EncodeProfilesFile(list, 0, "");
    Write(bytes);
    profiles().Load();

    EXPECT_EQ(EngineCore::SoundSystem::Instance().GetVolume(), 0.125f);
    EXPECT_EQ(EngineCore::MusicSystem::Instance().GetVolume(), 0.25f);
    EXPECT_TRUE(EngineCore::RenderSystem::Instance().GetScreenSettings().windowed);
    std::string script;
    ASSERT_TRUE(PropertySystem::Instance().GetPropertyByName("CurrentLevelScript"));
    PropertySystem::Instance().GetPropertyByName("CurrentLevelScript")->GetValue(script);
    EXPECT_EQ(script, "Levels/A.lua");

    std::shared_ptr<Profile> first;
    ASSERT_TRUE(profiles().GetProfileById(0, first));
    ASSERT_TRUE(profiles().DeleteProfile(first));
    EXPECT_EQ(SelectedId(), 1);
    EXPECT_EQ(EngineCore::SoundSystem::Instance().GetVolume(), 0.125f) << "not applied";
    EXPECT_FALSE(PropertySystem::Instance().GetPropertyByName("CurrentLevelScript"));
    profiles().Save();
    EXPECT_EQ(OnDisk().profiles.at(0)->levelScript, "") << "the level script went with the property";
}

TEST_F(ProfileSystemTest, SavingRefreshesOnlyTheSelectedProfile)
{
    Write(FileWith({0, 1}, 1));
    profiles().Load();
    EngineCore::RenderSystem::ScreenSettings screen;
    screen.windowed = true;
    screen.stretch = true;
    EngineCore::RenderSystem::Instance().ApplyScreenSettings(screen);
    std::shared_ptr<Property> property;
    PropertySystem::Instance().AddProperty("CurrentLevelScript", property);
    property->SetValue("Levels/Stage02/Level03/Scripts/Startup.lua");
    profiles().Save();

    ProfilesFileContents now = OnDisk();
    EXPECT_FALSE(now.profiles[0]->windowed);
    EXPECT_TRUE(now.profiles[1]->windowed);
    EXPECT_TRUE(now.profiles[1]->stretch);
    EXPECT_EQ(now.profiles[1]->levelScript, "Levels/Stage02/Level03/Scripts/Startup.lua");
    EXPECT_EQ(now.profiles[0]->levelScript, "");

    // Another type keeps the level script; no property clears it.
    property->SetValue(3.0f);
    profiles().Save();
    EXPECT_EQ(OnDisk().profiles[1]->levelScript, "Levels/Stage02/Level03/Scripts/Startup.lua");
    PropertySystem::Instance().Clear();
    profiles().Save();
    EXPECT_EQ(OnDisk().profiles[1]->levelScript, "");
}

// A script on the loader thread changes a property's type and value while a save on the main
// thread writes every property: each saved entry's type must match its value, in what a save
// collects and in the file it writes.
TEST_F(ProfileSystemTest, ASaveWhileAnotherThreadChangesAPropertyWritesMatchingTypes)
{
    Write(FileWith({0}, 0));
    profiles().Load();
    std::shared_ptr<Property> flipping;
    PropertySystem::Instance().AddProperty("Flip", flipping);
    flipping->SetValue(1.0f);
    std::atomic<bool> stop{false};
    std::thread writer([&] {
        for (int i = 0; !stop; ++i) {
            if (i % 2 == 0)
                flipping->SetValue(static_cast<float>(i));
            else
                flipping->SetValue(("text of a length no small string holds " + std::to_string(i)).c_str());
        }
    });
    // Of "Flip", "Flip:2:<number>:" or "Flip:3:text...:", nothing else.
    auto matching = [](const std::string& entry) {
        const std::vector<std::string> parts = Profile::StrToVec(entry, ":");
        if (parts.empty() || parts[0] != "Flip")
            return true;
        if (parts.size() != 3)
            return false;
        if (parts[1] == "3")
            return parts[2].rfind("text of a length", 0) == 0;
        return parts[1] == "2" && !parts[2].empty() && parts[2].find_first_not_of("0123456789.") == std::string::npos;
    };
    std::string wrong;
    for (int round = 0; round < 20000 && wrong.empty(); ++round) {
        for (const std::string& entry : Profile::CollectAllProperty())
            if (!matching(entry))
                wrong = entry;
        if (round % 500 == 0) {
            profiles().Save();
            const ProfilesFileContents saved = OnDisk();
            for (const std::string& entry : saved.profiles[0]->savedProperties)
                if (!matching(entry))
                    wrong = "in the file: " + entry;
        }
    }
    stop = true;
    writer.join();
    EXPECT_EQ(wrong, "");
}

TEST_F(ProfileSystemTest, AFailedSaveLeavesThePreviousFileWhole)
{
    const Bytes bytes = FileWith({0, 1, 2}, 0);
    Write(bytes);
    profiles().Load();
    std::shared_ptr<Profile> profile;
    ASSERT_TRUE(profiles().GetProfileById(1, profile));
    profile->name = "a name long enough to need more bytes than the limit allows";

    // A file-size limit makes the write fail even for root.
    struct rlimit old {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    const sighandler_t previous = signal(SIGXFSZ, SIG_IGN);
    struct rlimit limited = old;
    limited.rlim_cur = 40;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    std::string error;
    try {
        profiles().Save();
    } catch (const std::runtime_error& e) {
        error = e.what();
    }
    setrlimit(RLIMIT_FSIZE, &old);
    signal(SIGXFSZ, previous);

    EXPECT_EQ(error, "File: \"Logic\\ProfileSystem\"\nLine: 472\n\nError: Error in saving profiles.");
    EXPECT_EQ(Read(), bytes);
    EXPECT_TRUE(AsideFiles().empty()) << "no temporary file is left behind";
    profiles().Save();
    EXPECT_EQ(OnDisk().profiles.at(1)->name, profile->name);
}

TEST_F(ProfileSystemTest, TheFileIsReadFromItsOwnFolderNotFromGameData)
{
    TestSupport::TempFolder data;
    auto impostor = MakeProfile(7, "impostor");
    const Bytes impostorBytes = EncodeProfilesFile({impostor}, 7, "");
    data.WriteFile("Profiles.dat", std::string(impostorBytes.begin(), impostorBytes.end()));
    EngineCore::FileSystem::Instance().AddDirectory(data.Path());

    Write(FileWith({3}, 3));
    profiles().Load();
    EXPECT_EQ(Ids(), std::vector<int>{3});
}

TEST_F(ProfileSystemTest, TheLevelScriptIsDroppedOnceInTheGameState)
{
    Write(FileWith({0}, 0));
    profiles().Load();
    Application& application = Application::Instance();
    std::shared_ptr<GameState> game;
    std::shared_ptr<GameState> menu;
    ASSERT_TRUE(application.CreateGameState("game", game));
    ASSERT_TRUE(application.CreateGameState("menu", menu));
    auto setLevelScript = [] {
        std::shared_ptr<Property> property;
        PropertySystem::Instance().AddProperty("CurrentLevelScript", property);
        property->SetValue("Levels/A.lua");
    };
    auto hasLevelScript = [] { return static_cast<bool>(PropertySystem::Instance().GetPropertyByName("CurrentLevelScript")); };

    setLevelScript();
    application.SetCurrentGameState(game, true);
    profiles().SetIgnoreLoadLevelScript(false);
    EXPECT_FALSE(hasLevelScript()) << "the first call in \"game\" removes it";
    setLevelScript();
    profiles().SetIgnoreLoadLevelScript(true);
    EXPECT_TRUE(hasLevelScript()) << "later calls there do nothing";
    application.SetCurrentGameState(menu, true);
    profiles().SetIgnoreLoadLevelScript(true);
    EXPECT_TRUE(hasLevelScript()) << "elsewhere the call only arms it again";
    application.SetCurrentGameState(game, true);
    profiles().SetIgnoreLoadLevelScript(true);
    EXPECT_FALSE(hasLevelScript());
    EXPECT_FALSE(profiles().GetIgnoreLoadLevelScript());

    application.SetCurrentGameState(nullptr, true);
    application.RemoveGameState(game, true);
    application.RemoveGameState(menu, true);
}

TEST_F(ProfileSystemTest, TemporariesOfSavesCutShortAreClearedWhenTheProfilesLoad)
{
    const Bytes bytes = FileWith({0}, 0);
    Write(bytes);
    for (const char* name : {"Profiles.dat.tmp.Ab12Cd", "Profiles.dat.tmp.zzzzzz", "Profiles.dat.tmp.other",
                             "Other.dat.tmp.Ab12Cd"})
        std::ofstream(folder + "/" + name) << "partial";
    profiles().Load();
    EXPECT_FALSE(fs::exists(folder + "/Profiles.dat.tmp.Ab12Cd"));
    EXPECT_FALSE(fs::exists(folder + "/Profiles.dat.tmp.zzzzzz"));
    EXPECT_TRUE(fs::exists(folder + "/Profiles.dat.tmp.other")) << "not a name saves make";
    EXPECT_TRUE(fs::exists(folder + "/Other.dat.tmp.Ab12Cd"));
    EXPECT_EQ(Read(), bytes);
    fs::remove(folder + "/Profiles.dat.tmp.other");
    fs::remove(folder + "/Other.dat.tmp.Ab12Cd");
}
