// The audio calls go to the audio system; after shutdown they do nothing.
#include "platform/hge/Engine.h"

namespace hgeplatform {

HEFFECT Engine::Effect_Load(const void* data, DWORD size) { return Shut() ? 0 : audio_.EffectLoad(data, size); }

void Engine::Effect_Free(HEFFECT eff) {
    if (!Shut()) audio_.EffectFree(eff);
}

HCHANNEL Engine::Effect_PlayEx(HEFFECT eff, int volume, int pan, float pitch, bool loop) {
    return Shut() ? 0 : audio_.EffectPlayEx(eff, volume, pan, pitch, loop);
}

HMUSIC Engine::Music_Load(const void* data, DWORD size) { return Shut() ? 0 : audio_.MusicLoad(data, size); }

void Engine::Music_Free(HMUSIC mus) {
    if (!Shut()) audio_.MusicFree(mus);
}

HCHANNEL Engine::Music_Play(HMUSIC mus, bool loop, int volume, int order, int row) {
    return Shut() ? 0 : audio_.MusicPlay(mus, loop, volume, order, row);
}

HSTREAM Engine::Stream_Load(const void* data, DWORD size) { return Shut() ? 0 : audio_.StreamLoad(data, size); }

void Engine::Stream_Free(HSTREAM stream) {
    if (!Shut()) audio_.StreamFree(stream);
}

HCHANNEL Engine::Stream_Play(HSTREAM stream, bool loop, int volume) {
    return Shut() ? 0 : audio_.StreamPlay(stream, loop, volume);
}

void Engine::Channel_SetVolume(HCHANNEL chn, int volume) {
    if (!Shut()) audio_.ChannelSetVolume(chn, volume);
}

void Engine::Channel_Pause(HCHANNEL chn) {
    if (!Shut()) audio_.ChannelPause(chn);
}

void Engine::Channel_Resume(HCHANNEL chn) {
    if (!Shut()) audio_.ChannelResume(chn);
}

void Engine::Channel_Stop(HCHANNEL chn) {
    if (!Shut()) audio_.ChannelStop(chn);
}

bool Engine::Channel_IsPlaying(HCHANNEL chn) { return !Shut() && audio_.ChannelIsPlaying(chn); }

void Engine::Channel_PauseAll() {
    if (!Shut()) audio_.ChannelPauseAll();
}

void Engine::Channel_ResumeAll() {
    if (!Shut()) audio_.ChannelResumeAll();
}

void Engine::Channel_StopAll() {
    if (!Shut()) audio_.ChannelStopAll();
}

void Engine::Test_SetAudioLoopback(bool loopback) { audioLoopback_ = loopback; }

bool Engine::Test_RenderAudio(float* out, int frames) { return Running() && audio_.RenderSamples(out, frames); }

}  // namespace hgeplatform
