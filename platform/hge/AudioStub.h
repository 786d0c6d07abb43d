#pragma once
// Silent stand-in for the audio system until the real one is merged: loads hand out
// handles, plays hand out no channel. Removed together with its include when the
// audio module lands.
#include <cstdint>
#include <mutex>

namespace hgeplatform {

class AudioSystem {
public:
    bool Initiate() { return true; }
    void Shutdown() {}
    void SetMusicVolume(int) {}
    uint32_t EffectLoad(const void* data, uint32_t size) { return Next(data, size); }
    void EffectFree(uint32_t) {}
    uint32_t EffectPlayEx(uint32_t, int, int, float, bool) { return 0; }
    uint32_t MusicLoad(const void* data, uint32_t size) { return Next(data, size); }
    void MusicFree(uint32_t) {}
    uint32_t MusicPlay(uint32_t, bool, int, int, int) { return 0; }
    uint32_t StreamLoad(const void* data, uint32_t size) { return Next(data, size); }
    void StreamFree(uint32_t) {}
    uint32_t StreamPlay(uint32_t, bool, int) { return 0; }
    void ChannelSetVolume(uint32_t, int) {}
    void ChannelPause(uint32_t) {}
    void ChannelResume(uint32_t) {}
    void ChannelStop(uint32_t) {}
    bool ChannelIsPlaying(uint32_t) { return false; }
    void ChannelPauseAll() {}
    void ChannelResumeAll() {}
    void ChannelStopAll() {}

private:
    uint32_t Next(const void* data, uint32_t size) {
        if (!data || !size) return 0;
        std::lock_guard<std::mutex> lock(mutex_);
        return ++last_;
    }
    std::mutex mutex_;
    uint32_t last_ = 0;
};

}  // namespace hgeplatform
