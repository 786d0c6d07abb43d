// The worked examples of the file formats page (docs/file-formats.md) read back through
// the runtime's own loaders: a hex dump there that a loader would not read as the text
// says fails here.
#include <cstdint>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "backend/Base/HGEAnimation.h"
#include "backend/Base/HGEFont.h"
#include "backend/Helpers/hgeParticleSystem.h"
#include "engine/Animation/AnimationPlayer.h"
#include "engine/Renderer/RenderSystem.h"
#include "engine/FileSystem/CachedFile.h"
#include "engine/FileSystem/FileInfo.h"
#include "engine/FileSystem/FileSystem.h"
#include "game/Logic/ProfilesFile.h"
#include "tests/support/FakeSprites.h"
#include "tests/support/TempFolder.h"

namespace {

// Each "## " section's worked example: the bytes of its hex dump (lines of an 8-digit
// offset, two blanks, byte pairs one blank apart, then two blanks and a comment). An offset that does not match the bytes before it is reported.
std::map<std::string, std::string> WorkedExamples(const std::string& page)
{
    std::map<std::string, std::string> examples;
    std::istringstream lines(page);
    std::string section;
    const std::regex dump("^    ([0-9a-f]{8})  (.*)$");
    const std::regex pair("^[0-9a-f]{2}$");
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("## ", 0) == 0) {
            section = line.substr(3);
            continue;
        }
        std::smatch match;
        if (!std::regex_match(line, match, dump))
            continue;
        std::string& bytes = examples[section];
        EXPECT_EQ(std::stoul(match[1].str(), nullptr, 16), bytes.size()) << section << ": " << line;
        // The bytes end at two blanks; what follows is the comment.
        const std::string row = match[2].str();
        std::istringstream tokens(row.substr(0, row.find("  ")));
        for (std::string token; tokens >> token;) {
            EXPECT_TRUE(std::regex_match(token, pair)) << section << ": " << line;
            bytes.push_back(static_cast<char>(std::stoul(token, nullptr, 16)));
        }
    }
    return examples;
}

class LoadableFont : public MobrixCore::HGEFont {
public:
    explicit LoadableFont(const std::string& name) { SetName(name); }
    using MobrixCore::HGEFont::Init;
    using MobrixCore::HGEFont::GetInfo;
};

class LoadableAnimation : public MobrixCore::HGEAnimation {
public:
    explicit LoadableAnimation(const std::string& name) { SetName(name); }
    using MobrixCore::HGEAnimation::Init;
};

class FileFormatsExamples : public testing::Test {
protected:
    void SetUp() override
    {
        std::ifstream in(FILE_FORMATS_PAGE, std::ios::binary);
        ASSERT_TRUE(in) << FILE_FORMATS_PAGE;
        std::ostringstream text;
        text << in.rdbuf();
        examples = WorkedExamples(text.str());
    }

    // The example of the section whose heading starts with `heading`, written below the
    // data folder as `name`.
    std::string Put(const std::string& heading, const std::string& name)
    {
        for (const auto& example : examples) {
            if (example.first.rfind(heading, 0) == 0) {
                folder.WriteFile(name, example.second);
                return example.second;
            }
        }
        ADD_FAILURE() << "no worked example under " << heading;
        return std::string();
    }

    std::map<std::string, std::string> examples;
    TestSupport::TempFolder folder;
};

}  // namespace

TEST_F(FileFormatsExamples, ThePackHoldsItsFileWithItsDate)
{
    Put("Resource pack", "formats/example.resources");
    EngineCore::FileSystem& fs = EngineCore::FileSystem::Instance();
    fs.AddDirectory(folder.Path());
    std::shared_ptr<EngineCore::CachedFile> file;
    ASSERT_TRUE(fs.GetFile("a.txt", file));
    EXPECT_EQ("Hi\n", std::string(reinterpret_cast<const char*>(file->GetData()), file->GetSize()));
    EngineCore::FileInfo info;
    ASSERT_TRUE(fs.GetFileInfo("a.txt", info));
    const EngineCore::SYSTEMTIME& date = info.GetDataTime();
    EXPECT_EQ((std::vector<int>{2024, 5, 17, 10, 30, 0}),
              (std::vector<int>{date.wYear, date.wMonth, date.wDay, date.wHour, date.wMinute, date.wSecond}));
}

TEST_F(FileFormatsExamples, TheCharacterSetPlacesItsTwoGlyphs)
{
    Put("Character-set file", "formats/charset.bin");
    EngineCore::FileSystem::Instance().AddDirectory(folder.Path());
    LoadableFont font("formats/charset.bin");
    font.Init();
    EngineCore::Font::CharInfo info;
    ASSERT_TRUE(font.GetInfo(1, info));
    EXPECT_EQ((std::vector<int>{17, 0, 15, 21, 0}), (std::vector<int>{info.x, info.y, info.width, info.height, info.offset}));
    ASSERT_TRUE(font.GetInfo(0, info));
    EXPECT_EQ(1, info.x);
    EXPECT_FALSE(font.GetInfo(2, info));
}

TEST_F(FileFormatsExamples, TheParticleDescriptionReadsAsItsCommentsSay)
{
    const std::string bytes = Put("Particle description", "formats/sparks.psi");
    MobrixCore::hgeParticleSystemInfo info;
    ASSERT_TRUE(MobrixCore::ReadParticleSystemInfo(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), info));
    EXPECT_EQ(400, info.emission);
    EXPECT_FLOAT_EQ(0.15f, info.lifetime);
    EXPECT_FLOAT_EQ(0.8f, info.particleLifeMax);
    EXPECT_FLOAT_EQ(120.0f, info.speedMin);
    EXPECT_FLOAT_EQ(420.0f, info.gravityMax);
    EXPECT_FLOAT_EQ(-20.0f, info.tangentialAccelMin);
    EXPECT_FLOAT_EQ(1.2f, info.sizeStart);
    EXPECT_FLOAT_EQ(8.0f, info.spinEnd);
    EXPECT_FLOAT_EQ(0.9f, info.colorStart[1]);
    EXPECT_FLOAT_EQ(0.0f, info.colorEnd[3]);
    EXPECT_FLOAT_EQ(0.2f, info.alphaVar);
}

TEST_F(FileFormatsExamples, TheAnimationFadesAnOpaqueSpriteOutInOneSecond)
{
    Put("Animation file", "formats/fade.anim");
    EngineCore::FileSystem::Instance().AddDirectory(folder.Path());
    auto animation = std::make_shared<LoadableAnimation>("formats/fade.anim");
    animation->Init();
    ASSERT_EQ(2u, animation->GetNumKeys());
    // Channel values are offsets from the sprite's own: an opaque white sprite goes from
    // alpha 255 to 1 (-1.0 takes 254 away, as the page says) and keeps its colour.
    EngineCore::RenderSystem::Instance().SetCurrentGameState("formats-test");
    auto sprite = std::make_shared<TestSupport::FakeAnimatedSprite>();
    sprite->SetColor(0xFFFFFFFFu);
    EngineCore::AnimationPlayer player;
    player.SetSprite(sprite);
    player.SetAnimation(animation);
    player.Play();
    const struct {
        float seconds;
        uint32_t color;
    } steps[] = {{0.0f, 0xFFFFFFFFu}, {0.5f, 0x80FFFFFFu}, {1.0f, 0x01FFFFFFu}};
    for (const auto& step : steps) {
        player.SetPosition(step.seconds);
        player.Update(0.0f, true);
        EXPECT_EQ(step.color, sprite->GetColor()) << step.seconds;
    }
}

TEST_F(FileFormatsExamples, TheProfilesFileHoldsOneSelectedProfile)
{
    const std::string bytes = Put("Profiles file", "formats/Profiles.dat");
    GameCore::ProfilesFileContents contents;
    ASSERT_EQ(GameCore::ProfilesFileStatus::Ok, GameCore::DecodeProfilesFile(bytes.data(), bytes.size(), contents));
    ASSERT_EQ(1u, contents.profiles.size());
    EXPECT_EQ(1, contents.selectedId);
    const GameCore::Profile& profile = *contents.profiles[0];
    EXPECT_EQ(1, profile.id);
    EXPECT_EQ("Player", profile.name);
    EXPECT_FLOAT_EQ(0.5f, profile.musicVolume);
    EXPECT_TRUE(profile.windowed);
    EXPECT_FALSE(profile.stretch);
    EXPECT_EQ(1, profile.lastSelectedStage);
    EXPECT_EQ(std::vector<std::string>{"best:1:0:"}, profile.savedProperties);
    EXPECT_EQ(0u, contents.bytesAfterRecords);
}
