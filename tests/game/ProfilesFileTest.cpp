#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <list>
#include <memory>
#include <string>
#include <vector>

#include "game/Logic/Profile.h"
#include "game/Logic/ProfilesFile.h"
#include "game/Logic/PropertySystem.h"
#include "game/Logic/SavedText.h"
#include "tests/support/EnvGuard.h"
#include "tests/support/TempFolder.h"

using namespace GameCore;

namespace {

using Bytes = std::vector<unsigned char>;

// The file a first run writes: one default profile, nothing in the property system.
const Bytes kFreshFile = {
    0x6B, 0x54, 0x2E, 0x70, 0x72, 0x6F, 0x66, 0x69, 0x6C, 0x65, 0x73, 0x2E, 0x62, 0x69, 0x6E, 0x00,  // magic
    0x01, 0x00, 0x00, 0x00,  // count
    0x00, 0x00,              // selected id
    0x00, 0x00,              // id
    0x01, 0x00, 0x00, 0x00, 0x00,  // name ""
    0x00, 0x00, 0x00, 0x3F,  // sound 0.5
    0x00, 0x00, 0x00, 0x3F,  // music 0.5
    0x00, 0x00, 0x00,        // windowed, system cursor, stretch
    0x00, 0x00, 0x00, 0x00,  // total scores
    0x00,                    // completed stages
    0x01,                    // last selected stage
    0x01, 0x00, 0x00, 0x00, 0x00,  // level script ""
    0x01, 0x00, 0x00, 0x00, 0x00,  // quest items ""
    0x01, 0x00, 0x00, 0x00, 0x00,  // properties ""
};

std::shared_ptr<Profile> MakeProfile(int16_t id, const std::string& name)
{
    auto profile = std::make_shared<Profile>();
    profile->id = id;
    profile->name = name;
    return profile;
}

ProfilesFileStatus Decode(const Bytes& bytes, ProfilesFileContents& contents)
{
    return DecodeProfilesFile(bytes.data(), bytes.size(), contents);
}

// Builds, in `folder`, a locale named "comma" whose only category that matters is a
// numeric one with a decimal comma; setlocale finds it once LOCPATH names the folder.
// localedef warns of the categories left out, and -c writes the locale regardless.
void BuildCommaLocale(const TestSupport::TempFolder& folder)
{
    folder.WriteFile("comma.def", "LC_NUMERIC\ndecimal_point \",\"\nthousands_sep \".\"\ngrouping 3;3\nEND LC_NUMERIC\n");
    const std::string command = "localedef -c -i '" + (folder / "comma.def") + "' '" + (folder / "comma") +
                                "' >/dev/null 2>&1";
    (void)std::system(command.c_str());
}

}  // namespace

TEST(ProfilesFile, AFreshProfileIsWrittenByteForByte)
{
    auto profile = std::make_shared<Profile>();
    profile->id = 0;
    EXPECT_EQ(EncodeProfilesFile({profile}, 0, ""), kFreshFile);
    EXPECT_EQ(kFreshFile.size(), 61u);
}

TEST(ProfilesFile, EveryFieldSurvivesARoundTrip)
{
    std::list<std::shared_ptr<Profile>> profiles;
    for (int16_t id : {int16_t(0), int16_t(3), int16_t(-7)})
        profiles.push_back(MakeProfile(id, "Player " + std::to_string(id)));
    Profile& rich = *profiles.back();
    rich.soundVolume = 0.25f;
    rich.musicVolume = 1.0f;
    rich.windowed = true;
    rich.systemCursor = true;
    rich.stretch = true;
    rich.totalScores = -5;
    rich.completedStages = 255;
    rich.lastSelectedStage = 0;
    rich.levelScript = "Levels/Stage01/Level02/Scripts/Startup.lua";
    rich.questItems = {"Key", "Map", ""};

    const Bytes bytes = EncodeProfilesFile(profiles, 3, "Gold:1:5:,");
    ProfilesFileContents contents;
    ASSERT_EQ(Decode(bytes, contents), ProfilesFileStatus::Ok);
    EXPECT_EQ(contents.selectedId, 3);
    ASSERT_EQ(contents.profiles.size(), 3u);
    auto expected = profiles.begin();
    for (const std::shared_ptr<Profile>& read : contents.profiles) {
        const Profile& written = **expected++;
        EXPECT_EQ(read->id, written.id);
        EXPECT_EQ(read->name, written.name);
        EXPECT_EQ(read->soundVolume, written.soundVolume);
        EXPECT_EQ(read->musicVolume, written.musicVolume);
        EXPECT_EQ(read->windowed, written.windowed);
        EXPECT_EQ(read->systemCursor, written.systemCursor);
        EXPECT_EQ(read->stretch, written.stretch);
        EXPECT_EQ(read->totalScores, written.totalScores);
        EXPECT_EQ(read->completedStages, written.completedStages);
        EXPECT_EQ(read->lastSelectedStage, written.lastSelectedStage);
        EXPECT_EQ(read->levelScript, written.levelScript);
        EXPECT_EQ(read->questItems, written.questItems);
        EXPECT_EQ(read->savedProperties, std::vector<std::string>{"Gold:1:5:"});
    }
    // Re-encoding what was read gives the same bytes.
    std::list<std::shared_ptr<Profile>> again(contents.profiles.begin(), contents.profiles.end());
    EXPECT_EQ(EncodeProfilesFile(again, 3, "Gold:1:5:,"), bytes);
}

TEST(ProfilesFile, FlagBytesOtherThanOneReadAsTrueAndFinalTextsMayBeMissing)
{
    Bytes bytes = kFreshFile;
    bytes[37] = 2;     // windowed
    bytes[39] = 0xFF;  // stretch
    // Cut off both the item and the property texts: they read as empty.
    bytes.resize(bytes.size() - 10);
    ProfilesFileContents contents;
    ASSERT_EQ(Decode(bytes, contents), ProfilesFileStatus::Ok);
    ASSERT_EQ(contents.profiles.size(), 1u);
    EXPECT_TRUE(contents.profiles[0]->windowed);
    EXPECT_FALSE(contents.profiles[0]->systemCursor);
    EXPECT_TRUE(contents.profiles[0]->stretch);
    EXPECT_TRUE(contents.profiles[0]->questItems.empty());
}

TEST(ProfilesFile, DamagedFilesAreToldApartFromGoodOnes)
{
    auto patched = [](size_t at, unsigned char value) {
        Bytes bytes = kFreshFile;
        bytes[at] = value;
        return bytes;
    };
    auto cut = [](size_t size) { return Bytes(kFreshFile.begin(), kFreshFile.begin() + size); };
    auto withCount = [](uint32_t count) {
        Bytes bytes = kFreshFile;
        std::memcpy(&bytes[16], &count, 4);
        return bytes;
    };
    struct Case {
        const char* what;
        Bytes bytes;
        ProfilesFileStatus status;
        size_t profiles;
    };
    const Case cases[] = {
        {"empty", {}, ProfilesFileStatus::BadHeader, 0},
        {"short magic", cut(10), ProfilesFileStatus::BadHeader, 0},
        {"magic without its NUL", patched(15, 'X'), ProfilesFileStatus::BadHeader, 0},
        {"another magic", patched(0, 'K'), ProfilesFileStatus::BadHeader, 0},
        {"no count", cut(18), ProfilesFileStatus::BadHeader, 0},
        {"no selected id", cut(21), ProfilesFileStatus::BadHeader, 0},
        {"count 0", withCount(0), ProfilesFileStatus::BadHeader, 0},
        {"record cut in its name", cut(25), ProfilesFileStatus::BadRecord, 0},
        {"record cut before its level script", cut(45), ProfilesFileStatus::BadRecord, 0},
        {"count beyond the records", withCount(0xFFFFFFFFu), ProfilesFileStatus::BadRecord, 1},
        {"good", kFreshFile, ProfilesFileStatus::Ok, 1},
    };
    for (const Case& c : cases) {
        ProfilesFileContents contents;
        EXPECT_EQ(Decode(c.bytes, contents), c.status) << c.what;
        EXPECT_EQ(contents.profiles.size(), c.profiles) << c.what;
    }
}

TEST(ProfilesFile, BytesPastTheLastRecordAreCounted)
{
    ProfilesFileContents contents;
    ASSERT_EQ(Decode(kFreshFile, contents), ProfilesFileStatus::Ok);
    EXPECT_EQ(contents.bytesAfterRecords, 0u);

    Bytes longer = kFreshFile;
    longer.insert(longer.end(), {'a', 'b', 'c'});
    ASSERT_EQ(Decode(longer, contents), ProfilesFileStatus::Ok);
    EXPECT_EQ(contents.bytesAfterRecords, 3u);

    // A property text whose count runs past the end reads as empty and stays unread.
    Bytes overlong = kFreshFile;
    overlong[56] = 0x09;
    ASSERT_EQ(Decode(overlong, contents), ProfilesFileStatus::Ok);
    EXPECT_TRUE(contents.profiles.at(0)->savedProperties.empty());
    EXPECT_EQ(contents.bytesAfterRecords, 5u);
}

TEST(ProfilesFile, AStringCountPastTheEndIsARecordFailureNotARead)
{
    Bytes bytes(kFreshFile.begin(), kFreshFile.begin() + 24);
    const Bytes huge = {0xF0, 0xFF, 0xFF, 0x7F, 'a'};
    bytes.insert(bytes.end(), huge.begin(), huge.end());
    ProfilesFileContents contents;
    EXPECT_EQ(Decode(bytes, contents), ProfilesFileStatus::BadRecord);
}

TEST(ProfilesFile, ItemListsSplitAndJoinAtCommas)
{
    struct Case {
        std::string text;
        std::vector<std::string> pieces;
    };
    const Case cases[] = {
        {"", {}},
        {"Key,Map", {"Key", "Map"}},
        {"Key,Map,", {"Key", "Map"}},
        {"a,,b,", {"a", "", "b"}},
        {",", {""}},
        {",,", {"", ""}},
        {"Key", {"Key"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Profile::StrToVec(c.text, ","), c.pieces) << c.text;
    EXPECT_EQ(Profile::VecToStr({"Key", "Map"}), "Key,Map,");
    EXPECT_EQ(Profile::VecToStr({}), "");
    EXPECT_EQ(Profile::StrToVec("Gold:1:5:", ":"), (std::vector<std::string>{"Gold", "1", "5"}));
}

TEST(ProfilesFile, QuestItemsAreKeptOnceInOrder)
{
    Profile profile;
    EXPECT_TRUE(profile.AddQuestItem("Key"));
    EXPECT_TRUE(profile.AddQuestItem("Map"));
    EXPECT_FALSE(profile.AddQuestItem("Key"));
    EXPECT_EQ(profile.questItems, (std::vector<std::string>{"Key", "Map"}));
    EXPECT_FALSE(profile.RemoveQuestItem("Lamp"));
    EXPECT_TRUE(profile.RemoveQuestItem("Key"));
    EXPECT_EQ(profile.questItems, std::vector<std::string>{"Map"});
}

TEST(ProfilesFile, PropertiesAreSavedAsTextInNameOrder)
{
    PropertySystem& properties = PropertySystem::Instance();
    properties.Clear();
    std::shared_ptr<Property> property;
    properties.AddProperty("Speed", property);
    property->SetValue(0.5f);
    properties.AddProperty("Gold", property);
    property->SetValue(5);
    properties.AddProperty("Flag", property);
    properties.AddProperty("CurrentLevelScript", property);
    property->SetValue("Levels/A.lua");
    properties.AddProperty("Wide", property);
    property->SetValue(L"x");

    EXPECT_EQ(Profile::VecToStr(Profile::CollectAllProperty()),
              "CurrentLevelScript:3:Levels/A.lua:,Flag:0:,Gold:1:5:,Speed:2:0.5000:,Wide:4:,");

    // Every record carries the same text.
    auto first = MakeProfile(0, "a");
    auto second = MakeProfile(1, "b");
    ProfilesFileContents contents;
    std::list<std::shared_ptr<Profile>> both{first, second};
    const Bytes bytes = EncodeProfilesFile(both, 0, Profile::VecToStr(Profile::CollectAllProperty()));
    ASSERT_EQ(Decode(bytes, contents), ProfilesFileStatus::Ok);
    EXPECT_EQ(contents.profiles[0]->savedProperties, contents.profiles[1]->savedProperties);
    EXPECT_EQ(contents.profiles[0]->savedProperties.size(), 5u);
    properties.Clear();
}

TEST(ProfilesFile, SavedNumbersIgnoreTheProcessLocale)
{
    // Where no installed locale has a decimal comma, one is built for the test: without
    // it, numbers written or read through the locale would pass unnoticed.
    const char* const locales[] = {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "C.UTF-8", "comma"};
    TestSupport::EnvGuard locpath("LOCPATH");
    TestSupport::TempFolder built;
    std::string old = std::setlocale(LC_NUMERIC, nullptr);
    int commaLocales = 0;
    for (const char* locale : locales) {
        if (std::string(locale) == "comma") {
            if (commaLocales > 0)
                break;
            BuildCommaLocale(built);
            setenv("LOCPATH", built.Path().c_str(), 1);
        }
        if (!std::setlocale(LC_NUMERIC, locale))
            continue;
        if (std::string(std::localeconv()->decimal_point) == ",")
            ++commaLocales;
        EXPECT_EQ(FormatSavedFloat(2.71828f), "2.7183") << locale;
        EXPECT_EQ(ParseSavedFloat("0.2500"), 0.25f) << locale;
    }
    std::setlocale(LC_NUMERIC, old.c_str());
    EXPECT_GT(commaLocales, 0) << "no locale with a decimal comma was installed or could be built";

    struct FloatCase {
        const char* text;
        float value;
    };
    for (const FloatCase& c : {FloatCase{"0.2500", 0.25f}, FloatCase{"-1.5", -1.5f}, FloatCase{" 3", 3.0f},
                               FloatCase{"+2.5x", 2.5f}, FloatCase{"", 0.0f}, FloatCase{"abc", 0.0f},
                               FloatCase{"1e999", 0.0f}})
        EXPECT_EQ(ParseSavedFloat(c.text), c.value) << c.text;
    struct IntCase {
        const char* text;
        int value;
    };
    for (const IntCase& c : {IntCase{"7", 7}, IntCase{"-12x", -12}, IntCase{" +3", 3}, IntCase{"", 0},
                             IntCase{"x1", 0}, IntCase{"99999999999", 2147483647},
                             IntCase{"-99999999999", -2147483647 - 1}})
        EXPECT_EQ(ParseSavedInt(c.text), c.value) << c.text;
    EXPECT_EQ(FormatSavedFloat(-0.00004f), "-0.0000");
}
