// The player-data and utility script classes, driven through the real interpreter.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include <lua.hpp>

#include "engine/Audio/SoundSystem.h"
#include "engine/GUI/Cursor.h"
#include "engine/GUI/GUISystem.h"
#include "engine/Resources/ResourceFactory.h"
#include "engine/Resources/ResourceManager.h"
#include "engine/System/SystemLogger.h"
#include "game/Base/Application.h"
#include "game/Base/GameState.h"
#include "game/Logic/CharacterInventory.h"
#include "game/Logic/CharacterSpellBook.h"
#include "game/Logic/DialogManager.h"
#include "game/Logic/Profile.h"
#include "game/Logic/ProfileSystem.h"
#include "game/Logic/ProfilesFile.h"
#include "game/Logic/PropertySystem.h"
#include "game/Logic/QuestItem.h"
#include "game/Logic/QuestItemStorage.h"
#include "tests/support/ScriptClassFixture.h"
#include "tests/support/TestDocuments.h"
#include "tests/support/TestLogWriter.h"

using namespace GameCore;
using testing::EndsWith;

namespace {

std::vector<unsigned char> ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class PlayerDataScriptClassesTest : public TestSupport::ScriptClassFixture<> {
protected:
    void SetUp() override
    {
        TestSupport::UseTestDocumentsFolder();
        static int count = 0;
        ASSERT_TRUE(Application::Instance().CreateGameState("player-data-" + std::to_string(count++), gameState));
        Application::Instance().SetCurrentGameState(gameState, true);
        ASSERT_NO_FATAL_FAILURE(OpenScripts());

        // One known profile (id 0), nothing else.
        PropertySystem::Instance().Clear();
        auto profile = std::make_shared<Profile>();
        profile->id = 0;
        WriteProfiles({profile}, 0);
        ProfileSystem::Instance().Load();
        // Bounded: a RemoveItem that removed nothing must fail the test, not hang it.
        Run("local i = CharacterInventory()\n"
            "for n = 1, 1000 do if i:GetNumItems() == 0 then break end i:RemoveItem(i:GetItemName(0)) end\n"
            "local b = CharacterSpellBook()\n"
            "for n = 1, 1000 do if b:GetNumItems() == 0 then break end b:RemoveItem(b:GetItemName(0)) end");
        ASSERT_EQ(Eval("CharacterInventory():GetNumItems() + CharacterSpellBook():GetNumItems()"), "0");
        DialogManager::Instance().Clear();
        DialogManager::Instance().SetCurrentDialog(0, 0);
        TestSupport::InstallLogWriter([this](const char* text) { log.push_back(text); });
    }
    void TearDown() override
    {
        EngineCore::SystemLogger::Instance().SetLogger(std::function<void(const char*)>());
        engine.Close();
        Application::Instance().SetCurrentGameState(nullptr, true);
        Application::Instance().RemoveGameState(gameState, true);
        PropertySystem::Instance().Clear();
    }

    static void WriteProfiles(const std::list<std::shared_ptr<Profile>>& profiles, int16_t selected)
    {
        std::vector<std::string> propertyTexts;
        for (const std::shared_ptr<Profile>& profile : profiles)
            propertyTexts.push_back(Profile::VecToStr(profile->savedProperties));
        const std::vector<unsigned char> bytes = EncodeProfilesFile(profiles, selected, propertyTexts);
        std::ofstream out(ProfileSystem::Instance().GetProfileFilePath(), std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    static ProfilesFileContents OnDisk()
    {
        const std::vector<unsigned char> bytes = ReadBytes(ProfileSystem::Instance().GetProfileFilePath());
        ProfilesFileContents contents;
        EXPECT_EQ(DecodeProfilesFile(bytes.data(), bytes.size(), contents), ProfilesFileStatus::Ok);
        return contents;
    }

    // The value of a Lua expression as text ("nil" for nil), numbers with 17 digits.
    std::string Eval(const std::string& expression)
    {
        Run("result__ = " + expression);
        lua_getglobal(L, "result__");
        std::string text;
        if (lua_isnil(L, -1)) {
            text = "nil";
        } else if (lua_type(L, -1) == LUA_TNUMBER) {
            char buffer[64];
            std::snprintf(buffer, sizeof buffer, "%.17g", lua_tonumber(L, -1));
            text = buffer;
        } else {
            size_t length = 0;
            const char* bytes = lua_tolstring(L, -1, &length);
            text.assign(bytes ? bytes : "(none)", bytes ? length : 6);
        }
        lua_pop(L, 1);
        return text;
    }
    void Frame(float dt) { gameState->OnFrame(dt); }

    std::shared_ptr<GameState> gameState;
    std::vector<std::string> log;
};

}  // namespace

// ---- StringUtility and Debugger ----

TEST_F(PlayerDataScriptClassesTest, StringUtilityWorksOnBytes)
{
    struct Case {
        const char* expression;
        const char* result;
    };
    const Case cases[] = {
        {"s:StrGetFirstNumber('Level05')", "5"},
        {"s:StrGetFirstNumber('Stage12Level3')", "12"},
        {"s:StrGetFirstNumber('a007b')", "7"},
        {"s:StrGetFirstNumber('100')", "100"},
        {"s:StrGetFirstNumber('x0y7')", "0"},
        {"s:StrGetFirstNumber('abc')", "-1"},
        {"s:StrGetFirstNumber('')", "-1"},
        {"s:StrGetFirstNumber('-5')", "5"},
        {"s:StrGetFirstNumber('3.75')", "3"},
        {"s:StrGetFirstNumber('99999999999')", "-1"},
        {"s:StrGetFirstNumber('099999999999')", "0"},
        {"s:StrGetFirstNumber('2147483647')", "2147483647"},
        {"s:StrCatChar('x', 65)", "xA"},
        {"s:StrCatChar('x', 321)", "xA"},
        {"s:StrCatChar('x', 66.9)", "xB"},
        {"s:StrCatChar('x', -1)", "x\xff"},
        {"s:StrCatChar('x', 0)", "x"},
        {"s:StrCatChar('x', 256)", "x"},
        {"s:StrCutLastChar('ab')", "a"},
        {"s:StrCutLastChar('a')", ""},
        {"s:StrCutLastChar('')", ""},
        {"s:StrIsContainChar('abc', 98)", "1"},
        {"s:StrIsContainChar('abc', 100)", "0"},
        {"s:StrIsContainChar('abc', 0)", "0"},
        {"s:StrStartsWith('Level', 'Lev')", "1"},
        {"s:StrStartsWith('Level', 'level')", "0"},
        {"s:StrStartsWith('Level', '')", "1"},
        {"s:StrStartsWith('Lev', 'Level')", "0"},
        {"s:StrLen('abc')", "3"},
        {"s:StrLen('a\\0bc')", "1"},
        {"s:StrLen(12)", "2"},
    };
    Run("s = StringUtility()");
    for (const Case& c : cases)
        EXPECT_EQ(Eval(c.expression), c.result) << c.expression;
    EXPECT_THAT(FailureOf("s:StrLen()"), testing::HasSubstr("string expected, got no value"));
}

TEST_F(PlayerDataScriptClassesTest, DebuggerLogsEachValueWithItsTypeVerbatim)
{
    struct Case {
        const char* value;
        const char* type;
        const char* data;
    };
    const Case cases[] = {
        {"nil", "nil", "nil"},
        {"true", "boolean", "true"},
        {"false", "boolean", "false"},
        {"2", "number", "2"},
        {"0.1", "number", "0.10000000000000001"},
        {"1e300", "number", "1.0000000000000001e+300"},
        {"'100% sure %s%n'", "string", "100% sure %s%n"},
        {"{}", "table", "Table"},
        {"StringUtility.StrLen", "function", "Function"},
        {"StringUtility()", "userdata", "UserData"},
    };
    for (const Case& c : cases) {
        log.clear();
        Run(std::string("Debugger():ShowValue('x%d', ") + c.value + ")");
        ASSERT_EQ(log.size(), 1u) << c.value;
        EXPECT_EQ(log[0], std::string("\n\n*** DebugWrapper::ShowValue: x%d\nValue type: ") + c.type +
                              "\nValue data: " + c.data + "\n\n")
            << c.value;
    }
    log.clear();
    Run("Debugger():ShowValue('none')");
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0], "\n\n*** DebugWrapper::ShowValue: none\nValue type: no value\nValue data: NONE\n\n");
}

// ---- Timer ----

TEST_F(PlayerDataScriptClassesTest, ATimerFiresOnceWhenItRunsOut)
{
    auto runs = [] {
        std::shared_ptr<Property> p = PropertySystem::Instance().GetPropertyByName("runs");
        float value = 0.0f;
        if (p)
            p->GetValue(value);
        return static_cast<int>(value);
    };
    Run("t = Timer() t:Setup(1.5, '#n = (n or 0) + 1 PropertySystem():SetValue(\"runs\", n)')");
    EXPECT_EQ(Eval("t:IsStoped()"), "0");
    Frame(1.0f);
    EXPECT_EQ(runs(), 0);
    Frame(1.0f);
    EXPECT_EQ(runs(), 1);
    EXPECT_EQ(Eval("t:IsStoped()"), "1");
    Frame(1.0f);
    EXPECT_EQ(runs(), 1) << "no repeat";

    // Paused half-way: frozen, not stopped; resumed, it counts on from there.
    Run("t:Setup(1.0, '#n = (n or 0) + 1 PropertySystem():SetValue(\"runs\", n)')");
    Frame(0.5f);
    Run("t:Pause()");
    Frame(5.0f);
    EXPECT_EQ(runs(), 1);
    EXPECT_EQ(Eval("t:IsStoped()"), "0");
    Run("t:Resume()");
    Frame(0.4f);
    EXPECT_EQ(runs(), 1);
    Frame(0.2f);
    EXPECT_EQ(runs(), 2);

    // Never fire: stopped, zero or negative time, a text without '#'. Only the last of
    // these is a mistake the author cannot see, so only it is logged, when it is given.
    const std::string withoutHash =
        "Timer:Setup text (runs_bad()) runs nothing: a script text is Lua code after a '#' ('#runs_bad()').";
    for (const char* setup : {"t:Setup(1, '#runs_bad()') t:Stop() t:Resume()", "t:Setup(0, '#runs_bad()')",
                              "t:Setup(-1, '#runs_bad()')", "t:Setup(0.1, 'runs_bad()')", "t:Setup(0.1, '#')",
                              "t:Setup(0.1, '')"}) {
        log.clear();
        Run(setup);
        Frame(2.0f);
        EXPECT_EQ(Eval("t:IsStoped()"), "1") << setup;
        const bool logged = std::count(log.begin(), log.end(), withoutHash) == 1;
        EXPECT_EQ(std::string(setup) == "t:Setup(0.1, 'runs_bad()')", logged) << setup;
    }
}

TEST_F(PlayerDataScriptClassesTest, ACollectedTimerNeverFiresAndATimerMayDropItselfWhileFiring)
{
    Run("Timer():Setup(0.1, '#this_fails()')");
    Run("");  // every run ends with a full collection
    Frame(1.0f);

    // The text drops the last reference to its own object and makes a new timer:
    // the firing timer dies while its action runs.
    ASSERT_TRUE(gameState->RunScriptString(
        "holder = { t = Timer() }\n"
        "holder.t:Setup(0.1, [[#holder.t = nil; holder.next = Timer();"
        " holder.next:Setup(0.1, '#PropertySystem():SetValue(\\'second\\', 1)')]])"));
    Frame(0.2f);
    Frame(0.2f);
    EXPECT_TRUE(PropertySystem::Instance().GetPropertyByName("second"));
}

TEST_F(PlayerDataScriptClassesTest, AFailingTimerTextEndsTheFrameWithItsError)
{
    ASSERT_TRUE(gameState->RunScriptString("keep = Timer() keep:Setup(0.1, '#this_fails()')"));
    EXPECT_THROW(Frame(0.2f), std::runtime_error);
}

// ---- ProfileSystem ----

TEST_F(PlayerDataScriptClassesTest, ProfilesGetTheSmallestFreeIdAndDeletingTheLastLeavesADefault)
{
    Run("p = ProfileSystem()");
    EXPECT_EQ(Eval("p:CreateNewProfile()"), "1");
    EXPECT_EQ(Eval("p:CreateNewProfile()"), "2");
    Run("p:DeleteProfile(0)");
    EXPECT_EQ(Eval("p:CreateNewProfile()"), "0");
    EXPECT_EQ(Eval("p:CreateNewProfile()"), "3");
    EXPECT_EQ(Eval("p:GetProfileId(0)"), "1") << "list order, not id order";
    EXPECT_EQ(OnDisk().profiles.size(), 4u) << "every change is saved at once";
    EXPECT_THAT(FailureOf("p:GetProfileId(p:GetNumProfiles())"), EndsWith("Error: Incorrect profile id."));
    EXPECT_THAT(FailureOf("p:GetProfileId(-1)"), EndsWith("Error: Incorrect profile id."));
    EXPECT_THAT(FailureOf("p:GetProfileName(65536)"), EndsWith("Error: Incorrect profile id."));

    Run("for n = 1, 100 do if p:GetNumProfiles() <= 1 then break end p:DeleteProfile(p:GetProfileId(0)) end"
        " p:DeleteProfile(p:GetProfileId(0))");
    EXPECT_EQ(Eval("p:GetNumProfiles()"), "1");
    EXPECT_EQ(Eval("p:GetSelectedProfileId()"), "0");
    EXPECT_EQ(Eval("p:GetProfileName(0)"), "");
    EXPECT_EQ(Eval("p:GetTotalScores(0)"), "0");
    EXPECT_EQ(Eval("p:GetNumCompletedStages(0)"), "0");
    EXPECT_EQ(Eval("p:GetLastSelectedStage(0)"), "1");
}

TEST_F(PlayerDataScriptClassesTest, ProfileFieldsKeepTheirWidthsAndReachTheFile)
{
    struct Case {
        const char* set;
        const char* get;
        const char* result;
    };
    const Case cases[] = {
        {"p:SetLastSelectedStage(0, 256)", "p:GetLastSelectedStage(0)", "0"},
        {"p:SetLastSelectedStage(0, 300)", "p:GetLastSelectedStage(0)", "44"},
        {"p:SetLastSelectedStage(0, -1)", "p:GetLastSelectedStage(0)", "255"},
        {"p:SetNumCompletedStages(0, 257)", "p:GetNumCompletedStages(0)", "1"},
        {"p:SetTotalScores(0, 3.9)", "p:GetTotalScores(0)", "3"},
        {"p:SetTotalScores(0, -1)", "p:GetTotalScores(0)", "4294967296"},
        {"p:SetTotalScores(0, 16777217)", "p:GetTotalScores(0)", "16777216"},
        {"p:SetProfileName(0, 'Ann')", "p:GetProfileName(0)", "Ann"},
    };
    Run("p = ProfileSystem()");
    for (const Case& c : cases) {
        Run(c.set);
        EXPECT_EQ(Eval(c.get), c.result) << c.set;
    }
    const ProfilesFileContents disk = OnDisk();
    EXPECT_EQ(disk.profiles.at(0)->name, "Ann");
    EXPECT_EQ(disk.profiles.at(0)->lastSelectedStage, 255);
    EXPECT_EQ(static_cast<uint32_t>(disk.profiles.at(0)->totalScores), 16777216u);

    // What the file holds comes back on the next load.
    ProfileSystem::Instance().Load();
    EXPECT_EQ(Eval("p:GetProfileName(0)"), "Ann");
    EXPECT_EQ(Eval("p:GetNumCompletedStages(0)"), "1");
}

// Saving the profiles records the render system's screen settings: the display choice is
// in the file as soon as "GUISystem" has applied it, not only at the next save.
TEST_F(PlayerDataScriptClassesTest, AScreenChoiceIsInTheFileRightAfterTheCall)
{
    // The first "GUISystem" object installs the cursor resource.
    EngineCore::ResourceFactory::Instance().RegisterResourceCreator(
        EngineCore::Resource::RT_CURSOR, [] { return std::make_shared<EngineCore::Cursor>(); });
    const struct {
        const char* args;
        bool windowed;
        bool stretch;
    } cases[] = {
        {"32, 800, 600, 1, 1", true, true},
        {"32, 800, 600, 0, 1", false, true},
        {"32, 800, 600, 1, 0", true, false},
        {"32, 1024, 768, 0, 0", false, false},
    };
    Run("g = GUISystem()");
    for (const auto& c : cases) {
        Run(std::string("g:SetScreenSettings(") + c.args + ")");
        const ProfilesFileContents disk = OnDisk();
        ASSERT_EQ(disk.profiles.size(), 1u);
        EXPECT_EQ(disk.profiles.front()->windowed, c.windowed) << c.args;
        EXPECT_EQ(disk.profiles.front()->stretch, c.stretch) << c.args;
    }
    Run("g = nil");
    EngineCore::GUISystem::Instance().Release();
    std::shared_ptr<EngineCore::Resource> cursor;
    if (EngineCore::ResourceManager::Instance().GetResource("Cursor.System", EngineCore::Resource::RT_CURSOR, cursor))
        EngineCore::ResourceManager::Instance().RemoveResource(cursor);
    EngineCore::ResourceFactory::Instance().UnregisterResourceCreator(EngineCore::Resource::RT_CURSOR);
}

TEST_F(PlayerDataScriptClassesTest, SelectingAProfileSavesFirstEvenWhenTheIdIsWrong)
{
    Run("p = ProfileSystem() second = p:CreateNewProfile()");
    Run("PropertySystem():SetValue('Marker', 'before')");
    EXPECT_THAT(FailureOf("p:SetSelectedProfileId(42)"), EndsWith("Error: Incorrect profile id."));
    EXPECT_EQ(OnDisk().profiles.at(0)->savedProperties, std::vector<std::string>{"Marker:3:before:"});
    EXPECT_EQ(OnDisk().selectedId, 0);

    std::shared_ptr<Profile> other;
    ASSERT_TRUE(ProfileSystem::Instance().GetProfileById(1, other));
    other->soundVolume = 0.875f;
    Run("p:SetSelectedProfileId(second)");
    EXPECT_EQ(Eval("p:GetSelectedProfileId()"), "1");
    EXPECT_EQ(EngineCore::SoundSystem::Instance().GetVolume(), 0.875f);
    EXPECT_EQ(OnDisk().selectedId, 1);
    EXPECT_THAT(FailureOf("p:DisableLoadLevelScript()"), testing::HasSubstr("number expected, got no value"));
    Run("p:DisableLoadLevelScript(1)");
}

// ---- PropertySystem ----

TEST_F(PlayerDataScriptClassesTest, PropertiesStoreFloatsAndStrings)
{
    struct Case {
        const char* value;
        const char* type;
        const char* got;
    };
    const Case cases[] = {
        {"0.1", "2", "0.10000000149011612"},
        {"'3.5'", "2", "3.5"},
        {"' 12 '", "2", "12"},
        {"''", "3", ""},
        {"'text'", "3", "text"},
        {"-7", "2", "-7"},
    };
    Run("ps = PropertySystem()");
    for (const Case& c : cases) {
        Run(std::string("ps:SetValue('v', ") + c.value + ")");
        EXPECT_EQ(Eval("ps:GetType('v')"), c.type) << c.value;
        EXPECT_EQ(Eval("ps:GetValue('v')"), c.got) << c.value;
    }
    EXPECT_THAT(FailureOf("ps:SetValue('flag', true)"),
                EndsWith("Error: Property (flag) cann't set unsupported value type or SetValue() missing argument."));
    EXPECT_EQ(Eval("ps:IsExist('flag')"), "1");
    EXPECT_EQ(Eval("ps:GetType('flag')"), "0");
    EXPECT_EQ(Eval("ps:GetValue('flag')"), "0");
    EXPECT_THAT(FailureOf("ps:SetValue('', 1)"), EndsWith("Error: Property () not found."));
    EXPECT_THAT(FailureOf("ps:GetValue('nothing')"), EndsWith("Error: Property (nothing) not found."));
    EXPECT_THAT(FailureOf("ps:GetType('nothing')"), EndsWith("Error: Property (nothing) not found."));
    Run("ps:Remove('never set')");
    Run("ps:Remove('v')");
    EXPECT_EQ(Eval("ps:IsExist('v')"), "0");

    std::shared_ptr<Property> wide;
    PropertySystem::Instance().AddProperty("wide", wide);
    wide->SetValue(L"w");
    EXPECT_THAT(FailureOf("ps:GetValue('wide')"), EndsWith("Error: Property (wide) with unicode don't supported."));
}

TEST_F(PlayerDataScriptClassesTest, SeparatorsAreRefusedBeforeAnythingChanges)
{
    const char* refused[] = {"ps:SetValue('a:b', 1)", "ps:SetValue('a,b', 'x')", "ps:SetValue('k', 'x:y')",
                             "ps:SetValue('k', 'x,y')"};
    Run("ps = PropertySystem() ps:SetValue('k', 'kept')");
    for (const char* script : refused)
        EXPECT_THAT(FailureOf(script), testing::HasSubstr("cann't hold ':' or ','")) << script;
    EXPECT_EQ(Eval("ps:GetValue('k')"), "kept");
    EXPECT_EQ(Eval("ps:IsExist('a:b')"), "0");
    // A number never holds one: "1.5" is stored as the float it reads as.
    Run("ps:SetValue('n', '1.5')");
    EXPECT_EQ(Eval("ps:GetType('n')"), "2");
    EXPECT_EQ(Eval("ps:GetValue('n')"), "1.5");
}

TEST_F(PlayerDataScriptClassesTest, SavedPropertiesComeBackOnlyWhereNoneExists)
{
    Run("ps = PropertySystem() ps:SetValue('e', 2.71828) ps:SetValue('Name', 'Ann') ps:SetValue('Kept', 1)");
    ProfileSystem::Instance().Save();
    ProfileSystem::Instance().Load();
    PropertySystem::Instance().Clear();
    Run("ps:SetValue('Kept', 'mine') ps:LoadProperty()");
    EXPECT_EQ(Eval("ps:GetValue('e')"), "2.7183001041412354");
    EXPECT_EQ(Eval("ps:GetValue('Name')"), "Ann");
    EXPECT_EQ(Eval("ps:GetValue('Kept')"), "mine");
}

// Until LoadProperty has run for the selected profile, a save keeps what every record
// stored, the current value winning for a name both hold; once it has, saves write the
// current set into every record; a profile selected later is kept again until restored.
TEST_F(PlayerDataScriptClassesTest, SavesBeforeLoadPropertyKeepEachRecordsSavedProperties)
{
    using Entries = std::vector<std::string>;
    auto first = std::make_shared<Profile>();
    first->id = 0;
    first->savedProperties = {"Who:3:Ann:", "Best:2:42.1250:"};
    auto second = std::make_shared<Profile>();
    second->id = 1;
    // The level script's entry is the record field's copy: it is never kept on its own.
    second->savedProperties = {"Coins:1:7:", "Coins:1:8:", "CurrentLevelScript:3:Old.lua:"};
    WriteProfiles({first, second}, 0);
    ProfileSystem::Instance().Load();

    Run("p = ProfileSystem() ps = PropertySystem() ps:SetValue('Who', 'Bea') ps:SetValue('Fresh', 1)");
    Run("p:SetProfileName(0, 'Ann')");
    EXPECT_EQ(OnDisk().profiles.at(0)->savedProperties, (Entries{"Best:2:42.1250:", "Fresh:2:1.0000:", "Who:3:Bea:"}));
    EXPECT_EQ(OnDisk().profiles.at(1)->savedProperties, (Entries{"Coins:1:7:", "Fresh:2:1.0000:", "Who:3:Bea:"}));

    Run("ps:LoadProperty() ps:Remove('Fresh') p:SetTotalScores(0, 5)");
    EXPECT_EQ(Eval("ps:GetValue('Best')"), "42.125");
    EXPECT_EQ(Eval("ps:GetValue('Who')"), "Bea");
    for (const auto& record : OnDisk().profiles)
        EXPECT_EQ(record->savedProperties, (Entries{"Best:2:42.1250:", "Who:3:Bea:"}));

    Run("p:SetSelectedProfileId(1)");
    EXPECT_EQ(OnDisk().profiles.at(1)->savedProperties, (Entries{"Best:2:42.1250:", "Coins:1:7:", "Who:3:Bea:"}));
    Run("ps:LoadProperty()");
    EXPECT_EQ(Eval("ps:GetValue('Coins')"), "7");
    // The stored level script is another player's (or a stale) copy: the profile's own
    // field, applied at selection, is the only source.
    EXPECT_EQ(Eval("ps:IsExist('CurrentLevelScript')"), "0");
}

TEST(PropertyRestore, SavedEntriesOfEveryShapeRestoreWithoutFailing)
{
    PropertySystem& properties = PropertySystem::Instance();
    properties.Clear();
    std::shared_ptr<Property> existing;
    properties.AddProperty("Gold", existing);
    existing->SetValue(99);
    for (const char* entry : {"Gold:1:7:", "Speed:2:0.2500:", "Wide:4:", "Text:3:", "Count:1", ":1:5:", "",
                              "Odd:9:x:", "NoType", "Neg:1:-3:"})
        properties.AddPropertyFromEntry(entry);

    int gold = 0;
    ASSERT_TRUE(properties.GetPropertyByName("Gold")->GetValue(gold));
    EXPECT_EQ(gold, 99) << "an existing property wins";
    float speed = 0;
    ASSERT_TRUE(properties.GetPropertyByName("Speed")->GetValue(speed));
    EXPECT_EQ(speed, 0.25f);
    EXPECT_EQ(properties.GetPropertyByName("Wide")->GetType(), Property::PT_NONE);
    std::string text = "x";
    ASSERT_TRUE(properties.GetPropertyByName("Text")->GetValue(text));
    EXPECT_EQ(text, "");
    int count = -1;
    ASSERT_TRUE(properties.GetPropertyByName("Count")->GetValue(count));
    EXPECT_EQ(count, 0);
    EXPECT_EQ(properties.GetPropertyByName("Odd")->GetType(), Property::PT_NONE);
    EXPECT_EQ(properties.GetPropertyByName("NoType")->GetType(), Property::PT_NONE);
    int negative = 0;
    ASSERT_TRUE(properties.GetPropertyByName("Neg")->GetValue(negative));
    EXPECT_EQ(negative, -3);
    EXPECT_EQ(properties.GetAllPropertyNames().size(), 8u) << "the entry without a name is skipped";
    properties.Clear();
}

TEST(PropertyValues, TypedReadsSucceedOnlyForTheCurrentType)
{
    PropertySystem& properties = PropertySystem::Instance();
    std::shared_ptr<Property> property;
    EXPECT_FALSE(properties.AddProperty("", property));
    EXPECT_FALSE(properties.AddProperty(nullptr, property));
    ASSERT_TRUE(properties.AddProperty("p", property));
    int i = 17;
    float f = 1.5f;
    EXPECT_FALSE(property->GetValue(i));
    property->SetValue(4);
    property->SetValue(2.5f);
    EXPECT_FALSE(property->GetValue(i));
    EXPECT_EQ(i, 17);
    EXPECT_TRUE(property->GetValue(f));
    EXPECT_EQ(f, 2.5f);

    std::shared_ptr<Property> replaced;
    ASSERT_TRUE(properties.AddProperty("p", replaced));
    EXPECT_EQ(replaced->GetType(), Property::PT_NONE);
    EXPECT_EQ(property->GetType(), Property::PT_FLOAT) << "the old holder keeps its object";
    EXPECT_EQ(properties.GetPropertyByName("p"), replaced);
    properties.Clear();
}

// ---- QuestItem and QuestItemStorage ----

TEST_F(PlayerDataScriptClassesTest, QuestItemsNeedANameFirst)
{
    for (const char* method : {"IsForSpellBook()", "AddToSpellBook()", "SetInventoryImage()",
                               "SetDescriptionImage()", "SetInventoryImageAlpha()"})
        EXPECT_THAT(FailureOf(std::string("QuestItem():") + method),
                    EndsWith("Error: Quest item not initialized. First call - SetName()."))
            << method;
    EXPECT_EQ(Eval("QuestItem():GetName()"), "");
    EXPECT_THAT(FailureOf("QuestItemStorage():GetItemInventoryImage('nowhere')"),
                EndsWith("Error: Quest item (nowhere) not found."));
    EXPECT_THAT(FailureOf("QuestItemStorage():GetItemInventoryImageAlpha('nowhere')"),
                EndsWith("Error: Quest item (nowhere) not found."));
}

TEST_F(PlayerDataScriptClassesTest, TheLastQuestItemMadeUnderANameIsTheStoredOne)
{
    Run("st = QuestItemStorage()\n"
        "a = QuestItem() a:SetName('Lamp') a:SetInventoryImage('lamp.png') a:SetInventoryImageAlpha('lamp_a.png')");
    EXPECT_EQ(Eval("st:GetItemInventoryImage('Lamp')"), "lamp.png");
    EXPECT_EQ(Eval("st:GetItemInventoryImageAlpha('Lamp')"), "lamp_a.png");
    Run("b = QuestItem() b:SetName('Lamp')");
    EXPECT_EQ(Eval("st:GetItemInventoryImage('Lamp')"), "") << "the second item replaced the first";
    Run("a:SetInventoryImage('old.png')");
    EXPECT_EQ(Eval("st:GetItemInventoryImage('Lamp')"), "");
    Run("b:SetInventoryImage('new.png') b:SetName('Lamp')");
    EXPECT_EQ(Eval("st:GetItemInventoryImage('Lamp')"), "") << "SetName starts afresh";

    Run("b:SetDescriptionImage('lamp_text.png')");
    std::shared_ptr<QuestItem> stored;
    ASSERT_TRUE(QuestItemStorage::Instance().GetQuestItem("Lamp", stored));
    EXPECT_STREQ(stored->GetDescriptionImage(), "lamp_text.png");
    EXPECT_STREQ(stored->GetName(), "Lamp");
    EXPECT_EQ(stored->GetStage(), 1);
    EXPECT_EQ(stored->GetLevel(), 1);

    Run("e = QuestItem() e:SetName('')");
    EXPECT_EQ(Eval("st:IsQuestItem('')"), "1");
    EXPECT_EQ(Eval("st:IsQuestItem('Torch')"), "0");
    Run("a:AddToSpellBook()");
    EXPECT_EQ(Eval("a:IsForSpellBook()"), "1");
    EXPECT_EQ(Eval("b:IsForSpellBook()"), "0");
    EXPECT_EQ(Eval("CharacterSpellBook():GetNumItems()"), "0");
}

// ---- CharacterInventory and CharacterSpellBook ----

TEST_F(PlayerDataScriptClassesTest, TheInventoryKeepsEachNameOnceAndMirrorsItIntoTheProfile)
{
    Run("inv = CharacterInventory() inv:AddItem('key') inv:AddItem('lamp') inv:AddItem('key') inv:AddItem('rope')");
    EXPECT_EQ(Eval("inv:GetNumItems()"), "3");
    Run("inv:RemoveItem('lamp') inv:RemoveItem('absent')");
    struct Case {
        const char* index;
        const char* name;
    };
    for (const Case& c : {Case{"0", "key"}, Case{"1", "rope"}, Case{"2", "nil"}, Case{"-1", "nil"},
                          Case{"0.9", "key"}})
        EXPECT_EQ(Eval(std::string("inv:GetItemName(") + c.index + ")"), c.name) << c.index;

    std::shared_ptr<Profile> selected;
    ASSERT_TRUE(ProfileSystem::Instance().GetSelectedProfile(selected));
    EXPECT_EQ(selected->questItems, (std::vector<std::string>{"key", "rope"}));
    EXPECT_TRUE(OnDisk().profiles.at(0)->questItems.empty()) << "not saved until the next save";
    ProfileSystem::Instance().Save();
    EXPECT_EQ(OnDisk().profiles.at(0)->questItems, (std::vector<std::string>{"key", "rope"}));
}

TEST_F(PlayerDataScriptClassesTest, AnItemNameWithACommaIsRefusedBecauseTheSaveCouldNotKeepIt)
{
    Run("inv = CharacterInventory() inv:AddItem('key')");
    EXPECT_THAT(FailureOf("inv:AddItem('Key,Map')"), testing::HasSubstr("Quest item (Key,Map) cann't hold ','"));
    EXPECT_EQ(Eval("inv:GetNumItems()"), "1");
    ProfileSystem::Instance().Save();
    EXPECT_EQ(OnDisk().profiles.at(0)->questItems, (std::vector<std::string>{"key"}));
}

TEST_F(PlayerDataScriptClassesTest, SavedItemsJoinTheInventoryAfterWhatItHolds)
{
    std::shared_ptr<Profile> selected;
    ASSERT_TRUE(ProfileSystem::Instance().GetSelectedProfile(selected));
    Run("inv = CharacterInventory() inv:AddItem('key')");
    selected->questItems = {"lamp", "key"};
    Run("inv:AddItemFromSave()");
    EXPECT_EQ(Eval("inv:GetItemName(0)"), "key");
    EXPECT_EQ(Eval("inv:GetItemName(1)"), "lamp");
    EXPECT_EQ(Eval("inv:GetNumItems()"), "2");
    EXPECT_EQ(selected->questItems, (std::vector<std::string>{"lamp", "key"}));
}

TEST_F(PlayerDataScriptClassesTest, TheSpellBookRefusesASecondCopy)
{
    Run("sb = CharacterSpellBook() sb:AddItem('fire') sb:AddItem('ice')");
    EXPECT_THAT(FailureOf("sb:AddItem('fire')"),
                EndsWith("File: \"Logic\\CharacterSpellBook\"\nLine: 46\n\nError: Item (fire) already added into spellbook."));
    EXPECT_EQ(Eval("sb:GetNumItems()"), "2");
    Run("sb:RemoveItem('absent') sb:RemoveItem('fire')");
    EXPECT_EQ(Eval("sb:GetItemName(0)"), "ice");
    EXPECT_EQ(Eval("sb:GetItemName(1)"), "nil");
    EXPECT_EQ(Eval("sb:GetItemName(-1)"), "nil");
}

// ---- DialogManager ----

TEST_F(PlayerDataScriptClassesTest, DialogsReadTheirTaskThenTheirNextMessages)
{
    Run("d = DialogManager()");
    EXPECT_THAT(FailureOf("d:SetNextDialogMessage('early')"),
                EndsWith("Error: Dialog message (early) can not be set before call SetCurrentDialog."));
    EXPECT_THAT(FailureOf("d:SetDialogTaskMessage('early')"),
                EndsWith("Error: Task message (early) can not be set before call SetCurrentDialog."));
    Run("d:SetCurrentDialog(2, 300) d:SetNextDialogMessage('a') d:SetDialogTaskMessage('t') d:SetNextDialogMessage('b')");
    EXPECT_EQ(DialogManager::Instance().GetMajor(), 2);
    EXPECT_EQ(DialogManager::Instance().GetMinor(), 44);
    EXPECT_EQ(Eval("d:GetDialogTaskMessage()"), "t");
    EXPECT_EQ(Eval("d:GetNextDialogMessage()"), "a");
    EXPECT_EQ(Eval("d:GetDialogTaskMessage()"), "t") << "the task never moves the cursor";
    EXPECT_EQ(Eval("d:GetNextDialogMessage()"), "b");
    EXPECT_THAT(FailureOf("d:GetNextDialogMessage()"), EndsWith("Error: GetNextDialogMessage error."));

    // Another pair and back: the messages stay and reading starts over.
    Run("d:SetCurrentDialog(0, 0)");
    EXPECT_THAT(FailureOf("d:GetDialogTaskMessage()"), EndsWith("Error: GetDialogTaskMessage error."));
    Run("d:SetCurrentDialog(2, 44)");
    EXPECT_EQ(Eval("d:GetNextDialogMessage()"), "a");

    // Two task messages: the older becomes the first next message.
    Run("d:SetCurrentDialog(0, 255) d:SetDialogTaskMessage('t1') d:SetDialogTaskMessage('t2')");
    Run("d:SetCurrentDialog(1, 0)");
    EXPECT_EQ(Eval("d:GetDialogTaskMessage()"), "t2") << "(0, 255) and (1, 0) share one dialog";
    EXPECT_EQ(Eval("d:GetNextDialogMessage()"), "t1");

    // A fresh object reads on, but must select before it writes.
    Run("d2 = DialogManager()");
    EXPECT_THAT(FailureOf("d2:SetNextDialogMessage('x')"), testing::HasSubstr("can not be set before"));
}

TEST_F(PlayerDataScriptClassesTest, AfterClearEveryDialogMethodRaisesUntilADialogIsSelected)
{
    Run("d = DialogManager() d:SetCurrentDialog(1, 1) d:SetNextDialogMessage('a') d:SetNextDialogMessage('b') d:Clear()");
    EXPECT_THAT(FailureOf("d:SetDialogTaskMessage('x')"), testing::HasSubstr("Task message (x) can not be set"));
    EXPECT_THAT(FailureOf("d:SetNextDialogMessage('x')"), testing::HasSubstr("Dialog message (x) can not be set"));
    EXPECT_THAT(FailureOf("d:GetNextDialogMessage()"), EndsWith("Error: GetNextDialogMessage error."));
    EXPECT_THAT(FailureOf("d:GetDialogTaskMessage()"), EndsWith("Error: GetDialogTaskMessage error."));
    Run("d:SetCurrentDialog(1, 1)");
    EXPECT_THAT(FailureOf("d:GetDialogTaskMessage()"), EndsWith("Error: GetDialogTaskMessage error."))
        << "Clear erased every list";
}

TEST(QuestItemRecord, ANewItemHasItsDefaultsAndAReplacedOneKeepsItsSettings)
{
    struct Made : QuestItem {};
    const Made fresh;
    EXPECT_STREQ(fresh.GetName(), "Unknown");
    EXPECT_EQ(fresh.GetStage(), 1);
    EXPECT_EQ(fresh.GetLevel(), 1);
    EXPECT_FALSE(fresh.IsForSpellBook());
    EXPECT_STREQ(fresh.GetInventoryImage(), "");
    EXPECT_STREQ(fresh.GetDescriptionImage(), "");
    EXPECT_STREQ(fresh.GetInventoryImageAlpha(), "");

    QuestItemStorage& storage = QuestItemStorage::Instance();
    std::shared_ptr<QuestItem> first;
    ASSERT_TRUE(storage.CreateQuestItem("Coin", first));
    first->SetInventoryImage("coin.png");
    first->SetStageLevel(3, 4);
    std::shared_ptr<QuestItem> second;
    ASSERT_TRUE(storage.CreateQuestItem("Coin", second));
    std::shared_ptr<QuestItem> stored;
    ASSERT_TRUE(storage.GetQuestItem("Coin", stored));
    EXPECT_EQ(stored, second);
    EXPECT_STREQ(first->GetInventoryImage(), "coin.png");
    EXPECT_EQ(first->GetStage(), 3);
    EXPECT_EQ(first->GetLevel(), 4);
    EXPECT_FALSE(storage.CreateQuestItem(nullptr, stored));
    EXPECT_TRUE(storage.DeleteQuestItem("Coin"));
    EXPECT_FALSE(storage.DeleteQuestItem("Coin"));
    EXPECT_FALSE(storage.GetQuestItem("Coin", stored));
}
