#pragma once
// Sound effects, music and streams over OpenAL Soft, decoded by libsndfile and libopenmpt.
//
// Handles are 32-bit, 0 means none. Each carries its table, slot and a generation, so a
// freed or stale handle (or one of another kind) is refused: calls with it do nothing and
// queries report false. Every call is safe from any thread and after Shutdown.
//
// Volumes are 0-100 (values outside are clamped). A channel's gain is its volume times
// its kind's volume: music channels follow SetMusicVolume, effects and streams stay at 100.
//
// Streams and music are decoded ahead into buffers of their own, by the feeder thread (and by
// the caller of a play, for the first buffers) without the system's lock: channel calls never
// wait behind decoding, and a play services nothing but its own channel.
//
// With no audio device the system runs on a silent device whose clock still advances:
// loads return handles and channels play, end, pause and loop as they would when heard.
#include <cstdint>
#include <memory>

namespace hgeplatform {

class AudioSystem {
public:
    // Where Initiate sends the sound. `Default` is the system's default device, falling back
    // to the silent device. The other two are for tests: `Loopback` mixes only when asked by
    // RenderSamples; `Unavailable` behaves as if no device could be opened.
    enum class Device { Default, Loopback, Unavailable };

    AudioSystem();
    ~AudioSystem();
    AudioSystem(const AudioSystem&) = delete;
    AudioSystem& operator=(const AudioSystem&) = delete;

    // Opens the default device (never fails: without one, the silent device). A second call
    // while running does nothing.
    bool Initiate();
    bool Initiate(Device device, int sampleRate = 44100);
    // Stops every channel, frees every sound and joins the feeder thread. Loads and plays
    // afterwards return 0.
    void Shutdown();

    // The music kind's volume (0-100); live music channels follow at once.
    void SetMusicVolume(int percent);

    // Whole sounds decoded at load (WAV, Ogg Vorbis, FLAC). The bytes are copied.
    uint32_t EffectLoad(const void* data, uint32_t size);
    // Stops the effect's channels, then frees it.
    void EffectFree(uint32_t effect);
    // A new channel per call; earlier channels play on. pan -100 (left) to 100 (right), for
    // mono sounds; pitch a playback-rate factor (1 = as recorded). When every OpenAL source
    // is taken, the oldest one-shot effect channel gives its own up.
    uint32_t EffectPlayEx(uint32_t effect, int volume, int pan, float pitch, bool loop);

    // Tracker modules through libopenmpt, any other format through libsndfile. The bytes are
    // copied. A music has at most one channel: playing it again restarts it.
    uint32_t MusicLoad(const void* data, uint32_t size);
    void MusicFree(uint32_t music);
    // order >= 0 starts at that order and row (a row below 0 counts as 0); otherwise at the
    // beginning.
    uint32_t MusicPlay(uint32_t music, bool loop, int volume, int order, int row);

    // Decoded while playing from the caller's bytes, which must outlive the stream. A stream
    // has at most one channel: playing it again restarts it from the beginning.
    uint32_t StreamLoad(const void* data, uint32_t size);
    // Stops the stream's channel, then frees it.
    void StreamFree(uint32_t stream);
    uint32_t StreamPlay(uint32_t stream, bool loop, int volume);

    void ChannelSetVolume(uint32_t channel, int volume);
    void ChannelPause(uint32_t channel);
    void ChannelResume(uint32_t channel);
    void ChannelStop(uint32_t channel);
    // False for a paused, ended, stopped or stale channel.
    bool ChannelIsPlaying(uint32_t channel);
    // PauseAll pauses the channels that play; ResumeAll resumes only those, so a channel
    // paused on its own stays paused.
    void ChannelPauseAll();
    void ChannelResumeAll();
    void ChannelStopAll();

    // Test hooks.
    // Mixes `frames` stereo frames (interleaved float, left first) on the Loopback device,
    // feeding streams as it goes. False (and `out` untouched) on any other device.
    bool RenderSamples(float* out, int frames);
    // True while running on the silent fallback device.
    bool IsSilent() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace hgeplatform
