#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/Animation/ActionTrack.h"
#include "engine/Animation/ActionTrackManager.h"
#include "engine/Animation/Animation.h"
#include "engine/Animation/AnimationPlayer.h"
#include "engine/Animation/AnimationSystem.h"
#include "engine/FileSystem/FileSystem.h"
#include "engine/Renderer/RenderSystem.h"
#include "engine/System/ScriptEngine.h"
#include "engine/System/ScriptEngineHelper.h"
#include "engine/System/SystemLogger.h"
#include "tests/support/FailureText.h"
#include "tests/support/FakeSprites.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TrackFileWriter.h"
#include "tests/support/TestLogWriter.h"

using namespace EngineCore;
using TestSupport::FailureText;
using TestSupport::TrackFile;
using TestSupport::TrackHeader;
using testing::EndsWith;

namespace {

typedef std::vector<std::pair<float, std::string>> Keys;

// Records every text it is given and runs the test's action for it, if any.
class RecordingEngine : public ScriptEngine {
public:
    bool RunString(const char* text, uint32_t) override
    {
        log += std::string(text) + "|";
        const auto found = actions.find(text);
        if (found != actions.end()) {
            const std::function<void()> action = found->second;
            action();
        }
        return answer;
    }
    std::string log;
    bool answer = true;
    std::map<std::string, std::function<void()>> actions;
};

// Exposes the per-frame step that the manager calls.
class SteppedTrack : public ActionTrack {
public:
    using ActionTrack::Update;
};

// Every fixture file, written once and indexed before any test reads it.
const std::map<std::string, std::vector<unsigned char>>& Files()
{
    static const std::map<std::string, std::vector<unsigned char>> files = [] {
        std::map<std::string, std::vector<unsigned char>> f;
        f["tracks/abc.bin"] = TrackFile({{0.0f, "a"}, {0.5f, "b"}, {1.0f, "c"}});
        f["tracks/ab2.bin"] = TrackFile({{0.0f, "a"}, {0.5f, "b"}, {2.0f, "c"}});
        f["tracks/zero.bin"] = TrackFile({{0.0f, "a"}, {0.0f, "b"}});
        f["tracks/one.bin"] = TrackFile({{0.0f, "a"}, {1.0f, "b"}});
        f["tracks/empty-key.bin"] = TrackFile({{0.0f, "a"}, {0.5f, ""}});
        f["tracks/stop.bin"] = TrackFile({{0.0f, "stop"}, {0.0f, "after"}});
        f["tracks/other.bin"] = TrackFile({{0.25f, "x"}});
        f["tracks/none.bin"] = TrackFile({});
        // Damaged files.
        std::vector<unsigned char> full = TrackFile({{0.5f, "x"}, {1.5f, "y"}});
        f["tracks/short18.bin"] = std::vector<unsigned char>(full.begin(), full.begin() + 18);
        std::vector<unsigned char> magic = full;
        magic[3] = 'X';
        f["tracks/bad-magic.bin"] = magic;
        std::vector<unsigned char> noNul = full;
        noNul[18] = '!';
        f["tracks/magic-no-nul.bin"] = noNul;
        f["tracks/no-count.bin"] = std::vector<unsigned char>(full.begin(), full.begin() + 21);
        f["tracks/cut-time.bin"] = std::vector<unsigned char>(full.begin(), full.begin() + 25);
        f["tracks/cut-text.bin"] = std::vector<unsigned char>(full.begin(), full.end() - 1);
        f["tracks/cut-second.bin"] = std::vector<unsigned char>(full.begin(), full.end() - 3);
        std::vector<unsigned char> huge = TrackHeader(0x7FFFFFFF);
        TestSupport::AppendTrackKey(huge, 0.5f, "x");
        f["tracks/huge-count.bin"] = huge;
        f["tracks/negative-count.bin"] = TrackHeader(-5);
        std::vector<unsigned char> badLength = TrackHeader(1);
        TestSupport::AppendF32(badLength, 0.5f);
        TestSupport::AppendU32(badLength, 0x7FFFFFF0u);
        badLength.push_back('x');
        f["tracks/bad-length.bin"] = badLength;
        std::vector<unsigned char> negativeLength = TrackHeader(1);
        TestSupport::AppendF32(negativeLength, 0.5f);
        TestSupport::AppendU32(negativeLength, 0xFFFFFFFFu);
        f["tracks/negative-length.bin"] = negativeLength;
        return f;
    }();
    return files;
}

class ActionTrackTest : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        folder = new TestSupport::TempFolder;
        for (const auto& file : Files())
            folder->WriteFile(file.first, file.second);
        FileSystem::Instance().AddDirectory(folder->Path());
    }
    static void TearDownTestSuite()
    {
        delete folder;
        folder = nullptr;
    }
    void SetUp() override
    {
        // Which states made a named player is remembered for the whole run.
        AnimationSystem::Instance().Clear();
        RenderSystem::Instance().SetCurrentGameState("track-test");
        engine = std::make_shared<RecordingEngine>();
        ScriptEngineHelper::Instance().SetCurrentScriptEngine(engine);
    }
    void TearDown() override { ScriptEngineHelper::Instance().SetCurrentScriptEngine(nullptr); }

    // The texts run by one update each, as "a|b|" per step.
    std::vector<std::string> Steps(SteppedTrack& track, const std::vector<float>& dts)
    {
        std::vector<std::string> runs;
        for (float dt : dts) {
            engine->log.clear();
            track.Update(dt);
            runs.push_back(engine->log);
        }
        return runs;
    }

    static TestSupport::TempFolder* folder;
    std::shared_ptr<RecordingEngine> engine;
};

TestSupport::TempFolder* ActionTrackTest::folder = nullptr;

}  // namespace

TEST_F(ActionTrackTest, LoadChecksEveryFieldAgainstTheBytes)
{
    const char* const badMagic = "0: the magic is not \"kT.actiontrack.bin\" and its NUL";
    const char* const pastTheEnd = "runs past the end of the file (or its byte count is negative)";
    struct Case {
        const char* file;
        const char* failure;  // null: loads
        size_t keys;
        float length;
        std::string logged;  // a data error's log line from its byte on; "" for none
    } cases[] = {
        {"tracks/abc.bin", nullptr, 3, 1.0f, ""},
        {"tracks/none.bin", nullptr, 0, 0.0f, ""},
        {"tracks/negative-count.bin", nullptr, 0, 0.0f, ""},
        {"tracks/missing.bin", "Error: Resource (tracks/missing.bin) loading error.", 0, 0.0f, ""},
        {"tracks/short18.bin", "Error: Resource (tracks/short18.bin) data error.", 0, 0.0f,
         "0: the file is shorter than its 19-byte magic"},
        {"tracks/bad-magic.bin", "Error: Resource (tracks/bad-magic.bin) data error.", 0, 0.0f, badMagic},
        {"tracks/magic-no-nul.bin", "Error: Resource (tracks/magic-no-nul.bin) data error.", 0, 0.0f, badMagic},
        {"tracks/no-count.bin", "Error: Resource (tracks/no-count.bin) data error.", 0, 0.0f,
         "19: the file ends inside the key count"},
        {"tracks/cut-time.bin", "Error: Resource (tracks/cut-time.bin) data error.", 0, 0.0f,
         "23: the file ends inside the time of key 1 of 2"},
        {"tracks/cut-text.bin", "Error: Resource (tracks/cut-text.bin) data error.", 1, 0.5f,
         std::string("37: the text of key 2 of 2 ") + pastTheEnd},
        {"tracks/cut-second.bin", "Error: Resource (tracks/cut-second.bin) data error.", 1, 0.5f,
         std::string("37: the text of key 2 of 2 ") + pastTheEnd},
        // The count is only the file's word: nothing is reserved for records that are not there.
        {"tracks/huge-count.bin", "Error: Resource (tracks/huge-count.bin) data error.", 1, 0.5f,
         "33: the file ends inside the time of key 2 of 2147483647"},
        {"tracks/bad-length.bin", "Error: Resource (tracks/bad-length.bin) data error.", 0, 0.0f,
         std::string("27: the text of key 1 of 1 ") + pastTheEnd},
        {"tracks/negative-length.bin", "Error: Resource (tracks/negative-length.bin) data error.", 0, 0.0f,
         std::string("27: the text of key 1 of 1 ") + pastTheEnd},
    };
    std::vector<std::string> logged;
    TestSupport::InstallLogWriter([&logged](const char* text) { logged.emplace_back(text); });
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        logged.clear();
        SteppedTrack track;
        const std::string failure = FailureText([&] { EXPECT_TRUE(track.Load(c.file)); });
        if (c.failure)
            EXPECT_THAT(failure, EndsWith(c.failure));
        else
            EXPECT_EQ("(no failure)", failure);
        // A failed load keeps the keys read so far, and the length is the last one's time.
        EXPECT_EQ(c.keys, track.GetNumKeys());
        EXPECT_EQ(c.length, track.GetLength());
        if (!c.logged.empty())
            EXPECT_EQ(std::vector<std::string>{"Action track file (" + std::string(c.file) + ") is refused at byte " +
                                               c.logged + "."},
                      logged);
        else if (c.failure)
            EXPECT_THAT(logged, testing::ElementsAre(testing::StartsWith("File (tracks/missing.bin) was looked for")));
        else
            EXPECT_TRUE(logged.empty());
    }
    SystemLogger::Instance().SetLogger(nullptr);

    SteppedTrack track;
    track.Load("tracks/abc.bin");
    EXPECT_STREQ("b", track.GetKey(1).GetScriptAction());
    EXPECT_EQ(0.5f, track.GetKey(1).GetTime());
    EXPECT_THAT(FailureText([&] { track.Load("tracks/bad-magic.bin"); }), EndsWith("data error."));
    EXPECT_EQ(3u, track.GetNumKeys()) << "a refused header leaves the track as it was";
    track.Load("tracks/other.bin");
    ASSERT_EQ(1u, track.GetNumKeys());
    EXPECT_STREQ("x", track.GetKey(0).GetScriptAction());
    EXPECT_EQ(0.25f, track.GetLength());
}

TEST_F(ActionTrackTest, KeysRunOnceAsThePositionPassesThem)
{
    struct Case {
        const char* name;
        AnimationPlayer::AnimationType type;
        std::vector<std::string> runs;
        float finalPosition;
    } cases[] = {
        // Once: the end key runs on the step that passes it, the position stays at the end.
        {"once", AnimationPlayer::AT_ONCE, {"a|", "b|", "", "c|", "", ""}, 1.0f},
        // Looping: the step past the end runs the end key, wraps to 0.2 and runs the key at 0.
        {"loop", AnimationPlayer::AT_LOOP, {"a|", "b|", "", "c|a|", "b|", ""}, 0.8f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SteppedTrack track;
        track.Load("tracks/abc.bin");
        track.SetAnimationType(c.type);
        EXPECT_EQ((std::vector<std::string>{"", ""}), Steps(track, {0.3f, 0.3f})) << "a stopped track stands still";
        EXPECT_EQ(0.0f, track.GetPosition());
        track.Play();
        EXPECT_EQ(c.runs, Steps(track, {0.3f, 0.3f, 0.3f, 0.3f, 0.3f, 0.3f}));
        EXPECT_NEAR(c.finalPosition, track.GetPosition(), 1e-5f);
    }

    // A looping track of one key: that key is also the first after each wrap, and runs
    // once on every pass.
    SteppedTrack single;
    single.Load("tracks/other.bin");
    single.SetAnimationType(AnimationPlayer::AT_LOOP);
    single.Play();
    EXPECT_EQ((std::vector<std::string>{"x|", "x|", "x|"}), Steps(single, {0.3f, 0.3f, 0.3f}));
    EXPECT_NEAR(0.15f, single.GetPosition(), 1e-5f);
}

TEST_F(ActionTrackTest, PlaybackControlsMoveThePositionAndTheKeyMemory)
{
    struct Case {
        const char* name;
        std::function<void(SteppedTrack&)> control;
        float position;
        std::vector<std::string> runs;  // after Play
    } cases[] = {
        // After keys at 0 and 0.5 ran, at 0.7: pulled back to 0.5 without running it again.
        {"pause", [](SteppedTrack& t) { t.Pause(); }, 0.5f, {"", ""}},
        // Stop rewinds and forgets: the key at 0 runs again.
        {"stop", [](SteppedTrack& t) { t.Stop(); }, 0.0f, {"a|", ""}},
        // The key at 0.5 becomes the next to run.
        {"frame 1", [](SteppedTrack& t) { t.SetAnimationFrame(1); }, 0.5f, {"b|", ""}},
        {"frame past the keys", [](SteppedTrack& t) { t.SetAnimationFrame(9); }, 0.0f, {"a|", ""}},
        // A jump forward skips the key it passes; a jump back re-runs only keys not run last.
        {"jump forward", [](SteppedTrack& t) { t.SetPosition(1.5f); }, 1.5f, {"", ""}},
        {"jump back", [](SteppedTrack& t) { t.SetPosition(0.2f); }, 0.2f, {"", ""}},
        {"jump back before a", [](SteppedTrack& t) { t.SetPosition(-3.0f); }, 0.0f, {"a|", ""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SteppedTrack track;
        track.Load("tracks/ab2.bin");
        track.Play();
        EXPECT_EQ((std::vector<std::string>{"a|b|"}), Steps(track, {0.7f}));
        c.control(track);
        EXPECT_FLOAT_EQ(c.position, track.GetPosition());
        track.Play();
        EXPECT_EQ(c.runs, Steps(track, {0.0f, 0.1f}));
    }

    // A jump back lets a key run again once another key ran since.
    SteppedTrack track;
    track.Load("tracks/ab2.bin");
    track.Play();
    Steps(track, {0.1f});
    track.SetPosition(0.8f);
    EXPECT_EQ((std::vector<std::string>{""}), Steps(track, {0.1f}));
    track.SetPosition(0.2f);
    EXPECT_EQ((std::vector<std::string>{"b|"}), Steps(track, {0.4f}));
    track.SetPosition(0.2f);
    EXPECT_EQ((std::vector<std::string>{""}), Steps(track, {0.4f}));
}

TEST_F(ActionTrackTest, KeysThatRunNothingOrStopTheirTrack)
{
    // An empty key runs nothing but counts as the key run last: Pause goes back to it.
    SteppedTrack empty;
    empty.Load("tracks/empty-key.bin");
    empty.Play();
    EXPECT_EQ((std::vector<std::string>{"a|"}), Steps(empty, {0.6f}));
    empty.Pause();
    EXPECT_EQ(0.5f, empty.GetPosition());

    // A key that stops its own track: the keys after it do not run.
    SteppedTrack stopping;
    stopping.Load("tracks/stop.bin");
    engine->actions["stop"] = [&] { stopping.Stop(); };
    stopping.Play();
    EXPECT_EQ((std::vector<std::string>{"stop|"}), Steps(stopping, {0.1f}));
    EXPECT_TRUE(stopping.IsStopped());
    EXPECT_EQ(0.0f, stopping.GetPosition());

    // A track without keys never advances.
    SteppedTrack none;
    none.Load("tracks/none.bin");
    none.Play();
    Steps(none, {1.0f});
    EXPECT_EQ(0.0f, none.GetPosition());
}

TEST_F(ActionTrackTest, LoopingEndsWhateverTheLengthAndStep)
{
    struct Case {
        const char* name;
        const char* file;
        float dt;
        int maxRuns;  // texts run by the one step
    } cases[] = {
        // Length 0: nothing to wrap; the keys at 0 run once and the track stays at 0.
        {"length 0", "tracks/zero.bin", 0.5f, 2},
        // A step of a million runs keeps only its remainder: each key runs at most twice.
        {"huge step", "tracks/one.bin", 1e6f, 4},
        {"endless step", "tracks/one.bin", 1e38f, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SteppedTrack track;
        track.Load(c.file);
        track.SetAnimationType(AnimationPlayer::AT_LOOP);
        track.Play();
        track.SetAnimationSpeed(10.0f);
        const std::vector<std::string> runs = Steps(track, {c.dt, c.dt});
        const int count = static_cast<int>(std::count(runs[0].begin(), runs[0].end(), '|'));
        EXPECT_GE(count, 1);
        EXPECT_LE(count, c.maxRuns);
        EXPECT_GE(track.GetPosition(), 0.0f);
        EXPECT_LE(track.GetPosition(), track.GetLength());
    }

    // A key that throws its own track past the end on every pass still lets the update end.
    SteppedTrack track;
    track.Load("tracks/one.bin");
    track.SetAnimationType(AnimationPlayer::AT_LOOP);
    engine->actions["a"] = [&] { track.SetPosition(50.0f); };
    track.Play();
    Steps(track, {0.1f});
    EXPECT_LE(engine->log.size(), 64u);
}

TEST_F(ActionTrackTest, KeyTextsNeedAWillingScriptEngine)
{
    SteppedTrack track;
    track.Load("tracks/abc.bin");
    track.Play();
    engine->answer = false;
    EXPECT_THAT(FailureText([&] { track.Update(0.1f); }), EndsWith("Error: Internal error."));
    ScriptEngineHelper::Instance().SetCurrentScriptEngine(nullptr);
    track.Stop();
    track.Play();
    EXPECT_THAT(FailureText([&] { track.Update(0.1f); }), EndsWith("Error: Internal error."));

    // A runner of the track's own takes the texts instead.
    std::string ran;
    track.SetScriptRunner([&](const std::string& text) {
        ran += text;
        return text != "c";
    });
    track.Stop();
    track.Play();
    track.Update(0.6f);
    EXPECT_EQ("ab", ran);
    EXPECT_THAT(FailureText([&] { track.Update(0.6f); }), EndsWith("Error: Internal error."));
}

TEST_F(ActionTrackTest, AttachedPlayersFollowTheTrack)
{
    auto animation = std::make_shared<Animation>();
    animation->AddAnimationKey(AnimationKey(), 0);
    animation->AddAnimationKey(AnimationKey(), 1.0f);
    auto sprite = std::make_shared<TestSupport::FakeAnimatedSprite>();
    auto player = std::make_shared<AnimationPlayer>();
    player->SetSprite(sprite);
    player->SetAnimation(animation);
    int ends = 0;
    player->SetEndAnimationCallback([&](void*) { ++ends; }, nullptr);

    SteppedTrack track;
    track.Load("tracks/ab2.bin");
    track.AddAnimationPlayer(player);
    track.AddAnimationPlayer(nullptr);
    EXPECT_EQ(1u, track.GetNumAnimationPlayers());
    player->Play();
    player->Update(1.5f, false);
    player->Update(1.5f, false);
    EXPECT_EQ(0, ends) << "the end waits for the track";
    track.Play();
    track.Update(0.7f);
    EXPECT_EQ(1, ends);

    // Pause pulls the players to the key run last.
    player->Play();
    player->Update(0.9f, false);
    track.Pause();
    EXPECT_EQ(0.5f, player->GetAnimationTime());

    // A new file drops the players.
    track.Load("tracks/other.bin");
    EXPECT_EQ(0u, track.GetNumAnimationPlayers());
}

TEST_F(ActionTrackTest, TheManagerStepsTheCurrentStatesTracksOnly)
{
    RenderSystem::Instance().SetCurrentGameState("track-state-a");
    auto first = std::make_shared<SteppedTrack>();
    first->Load("tracks/abc.bin");
    first->Play();
    RenderSystem::Instance().SetCurrentGameState("track-state-b");
    auto second = std::make_shared<SteppedTrack>();
    second->Load("tracks/other.bin");
    second->Play();

    ActionTrackManager::Instance().Update(0.3f);
    EXPECT_EQ(0.0f, first->GetPosition());
    EXPECT_EQ(0.25f, second->GetPosition());
    EXPECT_EQ("x|", engine->log);

    ActionTrackManager::Instance().Pause();
    EXPECT_TRUE(second->IsStopped());
    ActionTrackManager::Instance().Resume();
    EXPECT_FALSE(second->IsStopped());
    ActionTrackManager::Instance().Stop();
    EXPECT_EQ(0.0f, second->GetPosition());
    ActionTrackManager::Instance().Play();
    EXPECT_FALSE(second->IsStopped());
    EXPECT_FALSE(first->IsStopped());

    // The animation system steps tracks only in a state that has made a named player.
    RenderSystem::Instance().SetCurrentGameState("track-state-a");
    engine->log.clear();
    AnimationSystem::Instance().Update(0.3f);
    EXPECT_EQ("", engine->log);
    std::shared_ptr<AnimationPlayer> named;
    AnimationSystem::Instance().CreateAnimationPlayer("track-state-a.player", named);
    AnimationSystem::Instance().Update(0.3f);
    EXPECT_EQ("a|", engine->log);

    RenderSystem::Instance().SetCurrentGameState("");
    const std::function<void()> operations[] = {
        [] { ActionTrackManager::Instance().Play(); },   [] { ActionTrackManager::Instance().Stop(); },
        [] { ActionTrackManager::Instance().Pause(); },  [] { ActionTrackManager::Instance().Resume(); },
        [] { ActionTrackManager::Instance().Update(1); }, [] { SteppedTrack orphan; },
    };
    for (const auto& operation : operations)
        EXPECT_THAT(FailureText(operation), EndsWith("Error: Internal error."));
}

TEST_F(ActionTrackTest, KeysMayMakeAndFreeTracksDuringTheStep)
{
    RenderSystem::Instance().SetCurrentGameState("track-state-churn");
    std::vector<std::shared_ptr<SteppedTrack>> tracks;
    for (int i = 0; i < 3; ++i) {
        tracks.push_back(std::make_shared<SteppedTrack>());
        tracks.back()->Load("tracks/abc.bin");
        tracks.back()->Play();
    }
    std::shared_ptr<SteppedTrack> made;
    // Every "a" frees every track, its own included, and makes a new one.
    engine->actions["a"] = [&] {
        tracks.clear();
        if (!made) {
            made = std::make_shared<SteppedTrack>();
            made->Load("tracks/other.bin");
            made->Play();
        }
    };
    ActionTrackManager::Instance().Update(0.3f);
    EXPECT_EQ("a|", engine->log) << "freed tracks are skipped, the new one waits";
    ASSERT_TRUE(made);
    EXPECT_EQ(0.0f, made->GetPosition());
    ActionTrackManager::Instance().Update(0.3f);
    EXPECT_EQ(0.25f, made->GetPosition());
}
