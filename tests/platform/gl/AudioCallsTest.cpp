// The interface's audio calls reach the audio system: heard through the loopback device.
#include <cmath>

#include "tests/platform/AudioFixtures.h"
#include "tests/platform/gl/HgeWindow.h"

namespace hgetest {
namespace {

class AudioCallsTest : public HgeWindowTest {
protected:
    void SetUp() override {
        hge = hgeCreate(HGE_VERSION);
        hge->System_SetState(HGE_WINDOWED, true);
        hge->System_SetState(HGE_SCREENWIDTH, width);
        hge->System_SetState(HGE_SCREENHEIGHT, height);
        hge->Test_SetAudioLoopback(true);
        ASSERT_TRUE(hge->System_Initiate());
    }

    double Rms(int frames = 4410) {
        std::vector<float> out(size_t(frames) * 2);
        EXPECT_TRUE(hge->Test_RenderAudio(out.data(), frames));
        double sum = 0;
        for (float s : out) sum += double(s) * s;
        return std::sqrt(sum / double(out.size()));
    }
};

TEST_F(AudioCallsTest, MusicVolumeScalesMusicAndNothingElse) {
    const auto tone = audiofixtures::Wav(2.0);
    HEFFECT effect = hge->Effect_Load(tone.data(), DWORD(tone.size()));
    HMUSIC music = hge->Music_Load(tone.data(), DWORD(tone.size()));
    ASSERT_NE(effect, 0u);
    ASSERT_NE(music, 0u);

    HCHANNEL e = hge->Effect_PlayEx(effect, 100, 0, 1.0f, true);
    Rms();
    const double effectAlone = Rms();
    ASSERT_GT(effectAlone, 0.01);
    hge->System_SetState(HGE_MUSVOLUME, 50);
    EXPECT_NEAR(Rms(), effectAlone, effectAlone * 0.05);  // effects ignore it
    hge->Channel_Stop(e);
    EXPECT_FALSE(hge->Channel_IsPlaying(e));

    HCHANNEL m = hge->Music_Play(music, true, 100, -1, -1);
    ASSERT_NE(m, 0u);
    Rms();
    const double half = Rms();
    hge->System_SetState(HGE_MUSVOLUME, 100);
    Rms();
    const double full = Rms();
    EXPECT_NEAR(half / full, 0.5, 0.05);

    hge->Channel_PauseAll();
    EXPECT_FALSE(hge->Channel_IsPlaying(m));
    Rms();
    EXPECT_LT(Rms(), 1e-4);
    hge->Channel_ResumeAll();
    EXPECT_TRUE(hge->Channel_IsPlaying(m));

    hge->System_Shutdown();
    EXPECT_EQ(hge->Effect_Load(tone.data(), DWORD(tone.size())), 0u);
    EXPECT_FALSE(hge->Test_RenderAudio(nullptr, 1));
}

}  // namespace
}  // namespace hgetest
