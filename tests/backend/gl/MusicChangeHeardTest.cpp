// The music change heard: two music streams through the script class in a game state, the
// mix rendered on the loopback device frame by frame while the old music fades.
#include <algorithm>
#include <cmath>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "backend/Base/HGESoundStream.h"
#include "engine/Audio/MusicSystem.h"
#include "game/Base/Application.h"
#include "game/Base/GameState.h"
#include "game/Wrappers/SoundStreamWrapper.h"
#include "tests/backend/gl/BackendWindow.h"
#include "tests/platform/AudioFixtures.h"
#include "tests/support/ToneAmplitude.h"

using namespace BackendTest;

namespace {

const int kRate = 44100;

void WriteBytes(const std::string& path, const audiofixtures::Bytes& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// Renders `frames` stereo frames and appends the left channel.
void RenderLeft(int frames, std::vector<float>& left)
{
    std::vector<float> stereo(static_cast<size_t>(frames) * 2);
    ASSERT_TRUE(Hge()->Test_RenderAudio(stereo.data(), frames));
    for (int i = 0; i < frames; ++i)
        left.push_back(stereo[static_cast<size_t>(i) * 2]);
}

}  // namespace

TEST(MusicChangeHeard, TheOldMusicFadesOutOverTwoSecondsWhileTheNewOnePlaysOn)
{
    BackendWindow window;
    Hge()->Test_SetAudioLoopback(true);
    MobrixCore::HGESoundStream::SetGlobalVolume(1.0f, true);
    EngineCore::MusicSystem::Instance().SetVolume(1.0f);
    WriteBytes(window.data + "/a.ogg", audiofixtures::Tone(SF_FORMAT_OGG | SF_FORMAT_VORBIS, 5.0, 1, kRate, 440.0));
    WriteBytes(window.data + "/b.ogg", audiofixtures::Tone(SF_FORMAT_OGG | SF_FORMAT_VORBIS, 5.0, 1, kRate, 660.0));
    std::ofstream(window.data + "/state.lua") << "Entered = true\n";
    window.Index();
    window.Open();

    GameCore::Application& app = GameCore::Application::Instance();
    app.SetStartupScript("");
    std::shared_ptr<GameCore::GameState> state;
    ASSERT_TRUE(app.CreateGameState("game", state));
    state->SetStartupScript("state.lua");
    app.SetCurrentGameState(state, true);

    // Each object is a local, collected as soon as its text has run.
    const char* play = "do local m = SoundStream(); m:Load('%s'); m:SetIsMusic(1); m:Play(1) end";
    char text[128];
    std::snprintf(text, sizeof text, play, "a.ogg");
    ASSERT_TRUE(state->RunScriptString(text));
    std::vector<float> before;
    RenderLeft(kRate / 5, before);
    const double a0 = TestSupport::ToneAmplitude(before, 440.0, kRate);
    ASSERT_GT(a0, 0.1);
    EXPECT_LT(TestSupport::ToneAmplitude(before, 660.0, kRate), 0.02);

    std::snprintf(text, sizeof text, play, "b.ogg");
    ASSERT_TRUE(state->RunScriptString(text));

    // Frames of 0.01 s, each followed by its 441 samples; levels per 0.1 s.
    std::vector<double> aLevels, bLevels;
    std::vector<float> block;
    for (int frame = 1; frame <= 260; ++frame) {
        app.Update(0.01f);
        RenderLeft(kRate / 100, block);
        if (frame % 10 == 0) {
            aLevels.push_back(TestSupport::ToneAmplitude(block, 440.0, kRate) / a0);
            bLevels.push_back(TestSupport::ToneAmplitude(block, 660.0, kRate) / a0);
            block.clear();
        }
    }
    ASSERT_EQ(aLevels.size(), 26u);
    // The old music falls by about a twentieth every 0.1 s ...
    for (size_t i = 1; i < aLevels.size(); ++i)
        EXPECT_LE(aLevels[i], aLevels[i - 1] + 0.03) << "window " << i;
    EXPECT_GT(aLevels[0], 0.85);
    EXPECT_NEAR(aLevels[9], 0.5, 0.12);  // 0.9-1.0 s: ticks 9 and 10
    EXPECT_LT(aLevels[17], 0.25);
    // ... is silent after about 2 s and stopped after the 21st tick.
    EXPECT_LT(aLevels[21], 0.02);
    EXPECT_LT(aLevels[25], 0.02);
    // The new music plays at full level throughout.
    for (size_t i = 0; i < bLevels.size(); ++i)
        EXPECT_NEAR(bLevels[i], 1.0, 0.1) << "window " << i;

    GameCore::SoundStreamWrapper::ClearResources();
    app.Release();
    EngineCore::ResourceManager::Instance().Clear();
    Hge()->Test_SetAudioLoopback(false);
}
