#include "platform/hge/audio/AudioSystem.h"

#include <AL/al.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdlib>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/hge/audio/AudioDecoder.h"
#include "platform/hge/audio/AudioDevice.h"
#include "platform/hge/audio/HandleTable.h"

namespace hgeplatform {

namespace {

constexpr uint32_t kEffectKind = 1;
constexpr uint32_t kMusicKind = 2;
constexpr uint32_t kStreamKind = 3;
constexpr uint32_t kChannelKind = 4;

// Four queued buffers of 4096 frames hold about 0.37 s at 44.1 kHz: longer than the
// longest frame the game sleeps while loading, so the feeder never lets a stream run dry.
constexpr int kStreamBuffers = 4;
constexpr size_t kBufferFrames = 4096;
// A whole effect is held in memory: 64 Mi samples (128 MiB) at most.
constexpr size_t kMaxEffectSamples = size_t(1) << 26;
constexpr int kModuleRate = 44100;
constexpr int kRenderChunk = 1024;
constexpr int kSilentRate = 44100;
constexpr auto kFeederPeriod = std::chrono::milliseconds(10);

int ClampPercent(int v)
{
    return v < 0 ? 0 : (v > 100 ? 100 : v);
}

void ToPcm16(const float* in, size_t samples, std::vector<int16_t>& out)
{
    const size_t base = out.size();
    out.resize(base + samples);
    for (size_t i = 0; i < samples; ++i) {
        float s = in[i];
        s = s < -1.0f ? -1.0f : (s > 1.0f ? 1.0f : s);
        out[base + i] = static_cast<int16_t>(std::lrint(s * 32767.0f));
    }
}

ALenum Pcm16Format(int channels)
{
    return channels == 1 ? AL_FORMAT_MONO16 : AL_FORMAT_STEREO16;
}

enum class ChannelKind { Effect, Music, Stream };

struct Effect {
    ALuint buffer = 0;
    int channels = 0;
};

// A music's or stream's decoder and the buffers decoded ahead for its channel. Decoding takes
// `decodeMutex` only, never the system's lock, so channel calls from the game never wait
// behind it; the system's lock holder takes `stageMutex` just long enough to hand a decoded
// buffer to OpenAL.
struct Feed {
    std::vector<unsigned char> bytes;  // music only: the copy its decoder reads
    std::unique_ptr<AudioDecoder> decoder;
    int channels = 0;
    int rate = 0;

    std::mutex decodeMutex;  // guards the decoder and everything up to `stageMutex`
    bool loop = false;
    bool dead = false;  // freed: its bytes may be gone, nothing more is decoded
    std::vector<float> scratch;

    std::mutex stageMutex;  // guards the two below
    std::deque<std::vector<int16_t>> staged;
    bool ended = false;  // the decoder has given its last frame (a loop never ends)

    // Every frame decoded is staged: the channel has played it all once this holds.
    bool Drained()
    {
        std::lock_guard<std::mutex> lock(stageMutex);
        return ended && staged.empty();
    }

    bool PopStaged(std::vector<int16_t>& out)
    {
        std::lock_guard<std::mutex> lock(stageMutex);
        if (staged.empty())
            return false;
        out = std::move(staged.front());
        staged.pop_front();
        return true;
    }
};

struct Music {
    std::shared_ptr<Feed> feed;
    uint32_t channel = 0;
};

struct Stream {
    std::shared_ptr<Feed> feed;  // over the caller's bytes
    uint32_t channel = 0;
};

struct Channel {
    ChannelKind kind = ChannelKind::Effect;
    uint32_t owner = 0;
    ALuint source = 0;  // 0 when there is no OpenAL at all
    int volume = 100;
    bool loop = false;
    bool paused = false;
    bool pausedByAll = false;
    uint64_t serial = 0;  // play order, for taking the oldest source when none is left
    // Streamed channels (music and streams) only.
    std::shared_ptr<Feed> feed;
    ALuint buffers[kStreamBuffers] = {};
    std::vector<ALuint> idle;  // played buffers waiting for decoded frames
};

// Decodes the next buffer's frames, going round when the feed loops. Empty at the end.
void DecodeChunk(Feed& f, std::vector<int16_t>& pcm, bool& end)
{
    AudioDecoder& d = *f.decoder;
    const size_t width = static_cast<size_t>(f.channels);
    f.scratch.resize(kBufferFrames * width);
    size_t got = 0;
    bool rewound = false;
    end = false;
    while (got < kBufferFrames) {
        size_t n = d.Read(f.scratch.data() + got * width, kBufferFrames - got);
        n = std::min(n, kBufferFrames - got);
        if (n > 0) {
            got += n;
            rewound = false;
            continue;
        }
        // A rewind must bring frames, or an empty sound would loop for ever.
        if (!f.loop || rewound || !d.Rewind()) {
            end = true;
            break;
        }
        rewound = true;
    }
    pcm.clear();
    ToPcm16(f.scratch.data(), got * width, pcm);
}

// Decodes ahead until the feed holds a buffer for each of the channel's OpenAL buffers.
// Runs without the system's lock.
void TopUp(Feed& f)
{
    std::lock_guard<std::mutex> decode(f.decodeMutex);
    if (f.dead || !f.decoder)
        return;
    for (;;) {
        {
            std::lock_guard<std::mutex> stage(f.stageMutex);
            if (f.ended || f.staged.size() >= static_cast<size_t>(kStreamBuffers))
                return;
        }
        std::vector<int16_t> pcm;
        bool end = false;
        DecodeChunk(f, pcm, end);
        std::lock_guard<std::mutex> stage(f.stageMutex);
        if (!pcm.empty())
            f.staged.push_back(std::move(pcm));
        f.ended = end;
    }
}

// Positions the feed for a new play and decodes its first buffers. Without the system's lock.
bool Restart(Feed& f, bool loop, int order, int row)
{
    {
        std::lock_guard<std::mutex> decode(f.decodeMutex);
        if (f.dead || !f.decoder)
            return false;
        const bool positioned = order >= 0 ? f.decoder->Seek(order, row) : f.decoder->Rewind();
        if (!positioned)
            return false;
        f.loop = loop;
        std::lock_guard<std::mutex> stage(f.stageMutex);
        f.staged.clear();
        f.ended = false;
    }
    TopUp(f);
    return true;
}

// After this no decode of the feed runs or starts: its bytes may go.
void Retire(const std::shared_ptr<Feed>& f)
{
    if (!f)
        return;
    std::lock_guard<std::mutex> decode(f->decodeMutex);
    f->dead = true;
}

enum class Mode { None, Default, Loopback, Silent };

// A process that exits with a system still running (a path that skipped Shutdown) must stop
// its feeder before OpenAL's own exit cleanup takes the device away under it. The list is
// never destroyed, so it is still there for the exit handler and for late destructors.
std::mutex& LiveMutex()
{
    static auto* m = new std::mutex;
    return *m;
}

std::vector<AudioSystem*>& LiveSystems()
{
    static auto* v = new std::vector<AudioSystem*>;
    return *v;
}

void ShutdownLiveSystems()
{
    std::lock_guard<std::mutex> lock(LiveMutex());
    for (AudioSystem* system : LiveSystems())
        system->Shutdown();
}

}  // namespace

struct AudioSystem::Impl {
    std::mutex mutex;
    std::condition_variable wake;
    std::thread feeder;
    bool stopFeeder = false;

    AudioDevice device;
    Mode mode = Mode::None;
    bool running = false;
    bool hasAl = false;
    int musicVolume = 100;
    uint64_t serial = 0;

    HandleTable<Effect> effects{kEffectKind};
    HandleTable<Music> musics{kMusicKind};
    HandleTable<Stream> streams{kStreamKind};
    HandleTable<Channel> channels{kChannelKind};

    std::vector<int16_t> pcm;
    std::vector<float> discard;

    // Everything below runs with `mutex` held.

    ALuint NewSource()
    {
        for (;;) {
            alGetError();
            ALuint source = 0;
            alGenSources(1, &source);
            if (alGetError() == AL_NO_ERROR) {
                // Pan places the source around the listener; distance never attenuates.
                alSourcei(source, AL_SOURCE_RELATIVE, AL_TRUE);
                alSourcef(source, AL_ROLLOFF_FACTOR, 0.0f);
                return source;
            }
            // Out of sources: effects that have ended give theirs back first, then the
            // oldest one-shot effect makes room.
            if (ReapEndedEffects())
                continue;
            uint32_t oldest = 0;
            uint64_t oldestSerial = 0;
            for (uint32_t h : channels.Handles()) {
                const Channel* c = channels.Get(h);
                if (c->kind == ChannelKind::Effect && !c->loop && c->source &&
                    (!oldest || c->serial < oldestSerial)) {
                    oldest = h;
                    oldestSerial = c->serial;
                }
            }
            if (!oldest)
                return 0;
            ReleaseChannel(oldest);
        }
    }

    // True when an ended effect channel was freed.
    bool ReapEndedEffects()
    {
        bool freed = false;
        for (uint32_t h : channels.Handles()) {
            const Channel* c = channels.Get(h);
            if (c->kind == ChannelKind::Effect && c->source && SourceState(*c) == AL_STOPPED) {
                ReleaseChannel(h);
                freed = true;
            }
        }
        return freed;
    }

    void ReleaseChannel(uint32_t handle)
    {
        Channel* c = channels.Get(handle);
        if (!c)
            return;
        if (c->source) {
            alSourceStop(c->source);
            alSourcei(c->source, AL_BUFFER, 0);
            alDeleteSources(1, &c->source);
        }
        if (c->feed)
            alDeleteBuffers(kStreamBuffers, c->buffers);
        if (c->kind == ChannelKind::Music) {
            if (Music* m = musics.Get(c->owner); m && m->channel == handle)
                m->channel = 0;
        } else if (c->kind == ChannelKind::Stream) {
            if (Stream* s = streams.Get(c->owner); s && s->channel == handle)
                s->channel = 0;
        }
        channels.Remove(handle);
    }

    void ApplyGain(const Channel& c)
    {
        if (!c.source)
            return;
        const int kindVolume = c.kind == ChannelKind::Music ? musicVolume : 100;
        alSourcef(c.source, AL_GAIN, ClampPercent(c.volume) / 100.0f * (kindVolume / 100.0f));
    }

    ALint SourceState(const Channel& c)
    {
        ALint state = AL_STOPPED;
        alGetSourcei(c.source, AL_SOURCE_STATE, &state);
        return state;
    }

    bool IsPlaying(const Channel& c)
    {
        if (c.paused)
            return false;
        // Without OpenAL a sound cannot be timed: one-shots end at once, loops go on.
        if (!c.source)
            return c.loop;
        const ALint state = SourceState(c);
        if (state == AL_PLAYING)
            return true;
        // A stream that ran dry before its end is restarted by the feeder.
        return c.feed && state == AL_STOPPED && !c.feed->Drained();
    }

    // Hands the feed's decoded buffers to the channel's free OpenAL buffers.
    void QueueStaged(Channel& c)
    {
        while (!c.idle.empty() && c.feed->PopStaged(pcm)) {
            const ALuint buffer = c.idle.back();
            c.idle.pop_back();
            alBufferData(buffer, Pcm16Format(c.feed->channels), pcm.data(),
                         static_cast<ALsizei>(pcm.size() * sizeof(int16_t)), c.feed->rate);
            alSourceQueueBuffers(c.source, 1, &buffer);
        }
    }

    // The feeds of the channels that play from one; their decoding happens without the lock.
    std::vector<std::shared_ptr<Feed>> LiveFeeds()
    {
        std::vector<std::shared_ptr<Feed>> feeds;
        for (uint32_t h : channels.Handles())
            if (const Channel* c = channels.Get(h); c->feed)
                feeds.push_back(c->feed);
        return feeds;
    }

    // Queues decoded buffers, restarts streams that ran dry and frees the channels that have
    // ended. Decodes nothing: that happens in TopUp, outside the lock.
    void Service()
    {
        for (uint32_t h : channels.Handles()) {
            Channel* c = channels.Get(h);
            if (!c)
                continue;
            if (!c->source) {
                if (!IsPlaying(*c) && !c->paused)
                    ReleaseChannel(h);
                continue;
            }
            const ALint state = SourceState(*c);
            if (!c->feed) {
                if (state == AL_STOPPED)
                    ReleaseChannel(h);
                continue;
            }
            ALint processed = 0;
            alGetSourcei(c->source, AL_BUFFERS_PROCESSED, &processed);
            for (ALint i = 0; i < processed; ++i) {
                ALuint buffer = 0;
                alSourceUnqueueBuffers(c->source, 1, &buffer);
                c->idle.push_back(buffer);
            }
            QueueStaged(*c);
            if (state != AL_STOPPED)
                continue;
            ALint queued = 0;
            alGetSourcei(c->source, AL_BUFFERS_QUEUED, &queued);
            if (queued == 0 && c->feed->Drained())
                ReleaseChannel(h);
            else if (queued > 0 && !c->paused)
                alSourcePlay(c->source);
        }
    }

    uint32_t PlayEffect(uint32_t effect, int volume, int pan, float pitch, bool loop)
    {
        const Effect* e = effects.Get(effect);
        if (!e)
            return 0;
        Channel ch;
        ch.kind = ChannelKind::Effect;
        ch.owner = effect;
        ch.volume = ClampPercent(volume);
        ch.loop = loop;
        ch.serial = ++serial;
        if (hasAl) {
            ch.source = NewSource();
            if (!ch.source)
                return 0;
            alSourcei(ch.source, AL_BUFFER, static_cast<ALint>(e->buffer));
            alSourcei(ch.source, AL_LOOPING, loop ? AL_TRUE : AL_FALSE);
            if (!(pitch > 0.0f) || !std::isfinite(pitch))
                pitch = 1.0f;
            alSourcef(ch.source, AL_PITCH, std::min(std::max(pitch, 0.01f), 16.0f));
            const float p = std::min(std::max(pan, -100), 100) / 100.0f;
            alSource3f(ch.source, AL_POSITION, p, 0.0f, -std::sqrt(1.0f - p * p));
        }
        const ALuint source = ch.source;
        const uint32_t handle = channels.Add(std::move(ch));
        if (!handle) {
            if (source)
                alDeleteSources(1, &source);
            return 0;
        }
        ApplyGain(*channels.Get(handle));
        if (source)
            alSourcePlay(source);
        return handle;
    }

    // Starts a channel on a feed that Restart has positioned and decoded ahead, replacing
    // the owner's previous channel.
    uint32_t StartStreamed(ChannelKind kind, uint32_t owner, uint32_t& ownerChannel,
                           const std::shared_ptr<Feed>& feed, bool loop, int volume)
    {
        ReleaseChannel(ownerChannel);
        ownerChannel = 0;
        Channel ch;
        ch.kind = kind;
        ch.owner = owner;
        ch.volume = ClampPercent(volume);
        ch.loop = loop;
        ch.serial = ++serial;
        if (hasAl) {
            ch.feed = feed;
            ch.source = NewSource();
            if (!ch.source)
                return 0;
            alGetError();
            alGenBuffers(kStreamBuffers, ch.buffers);
            if (alGetError() != AL_NO_ERROR) {
                alDeleteSources(1, &ch.source);
                return 0;
            }
            ch.idle.assign(ch.buffers, ch.buffers + kStreamBuffers);
        }
        const ALuint source = ch.source;
        ALuint buffers[kStreamBuffers];
        std::copy(ch.buffers, ch.buffers + kStreamBuffers, buffers);
        const uint32_t handle = channels.Add(std::move(ch));
        if (!handle) {
            if (source) {
                alDeleteSources(1, &source);
                alDeleteBuffers(kStreamBuffers, buffers);
            }
            return 0;
        }
        Channel& c = *channels.Get(handle);
        ApplyGain(c);
        if (source) {
            QueueStaged(c);
            alSourcePlay(source);
        }
        ownerChannel = handle;
        return handle;
    }

    // Frees a music or a stream and its channel; then waits, outside the lock, for a
    // decode of it in progress: the caller frees the bytes next.
    template <typename Owner>
    void FreeStreamed(HandleTable<Owner>& table, uint32_t id)
    {
        std::shared_ptr<Feed> feed;
        {
            std::lock_guard<std::mutex> lock(mutex);
            Owner* owner = table.Get(id);
            if (!owner)
                return;
            ReleaseChannel(owner->channel);
            feed = owner->feed;
            table.Remove(id);
        }
        Retire(feed);
    }

    // Plays a music or a stream from `order`/`row` (-1: the start) on a new channel.
    template <typename Owner>
    uint32_t PlayStreamed(HandleTable<Owner>& table, ChannelKind kind, uint32_t id, bool loop, int volume,
                          int order, int row)
    {
        std::shared_ptr<Feed> feed;
        {
            std::lock_guard<std::mutex> lock(mutex);
            Owner* owner = running ? table.Get(id) : nullptr;
            if (!owner)
                return 0;
            ReleaseChannel(owner->channel);
            owner->channel = 0;
            feed = owner->feed;
        }
        // Positioning and the first buffers are decoded without the lock.
        if (!Restart(*feed, loop, order, row))
            return 0;
        std::lock_guard<std::mutex> lock(mutex);
        Owner* owner = running ? table.Get(id) : nullptr;
        if (!owner || owner->feed != feed)
            return 0;
        return StartStreamed(kind, id, owner->channel, feed, loop, volume);
    }

    void Pause(Channel& c, bool byAll)
    {
        if (!IsPlaying(c))
            return;
        c.paused = true;
        c.pausedByAll = byAll;
        if (c.source)
            alSourcePause(c.source);
    }

    void Resume(Channel& c)
    {
        if (!c.paused)
            return;
        c.paused = false;
        c.pausedByAll = false;
        if (c.source)
            alSourcePlay(c.source);
    }

    // Decodes the live feeds ahead with the lock let go, then takes it back.
    void TopUpLiveFeeds(std::unique_lock<std::mutex>& lock)
    {
        const std::vector<std::shared_ptr<Feed>> feeds = LiveFeeds();
        if (feeds.empty())
            return;
        lock.unlock();
        for (const std::shared_ptr<Feed>& feed : feeds)
            TopUp(*feed);
        lock.lock();
    }

    void FeederLoop()
    {
        std::unique_lock<std::mutex> lock(mutex);
        auto last = std::chrono::steady_clock::now();
        double owed = 0.0;  // frames the silent device is behind the clock
        while (!stopFeeder) {
            TopUpLiveFeeds(lock);
            if (stopFeeder)
                break;
            if (mode == Mode::Silent) {
                const auto now = std::chrono::steady_clock::now();
                owed += std::chrono::duration<double>(now - last).count() * device.Rate();
                last = now;
                // After a stall the silent clock skips ahead rather than racing to catch up.
                owed = std::min(owed, device.Rate() / 4.0);
                discard.resize(kRenderChunk * 2);
                while (owed >= 1.0) {
                    const int n = static_cast<int>(std::min<double>(owed, kRenderChunk));
                    Service();
                    device.Render(discard.data(), n);
                    owed -= n;
                    TopUpLiveFeeds(lock);
                    if (stopFeeder || mode != Mode::Silent)
                        break;
                }
            }
            Service();
            wake.wait_for(lock, kFeederPeriod);
        }
    }

    void Close()
    {
        for (uint32_t h : channels.Handles())
            ReleaseChannel(h);
        for (uint32_t h : effects.Handles())
            if (Effect* e = effects.Get(h); e && e->buffer)
                alDeleteBuffers(1, &e->buffer);
        effects.Clear();
        musics.Clear();
        streams.Clear();
        device.Close();
        mode = Mode::None;
        hasAl = false;
    }
};

AudioSystem::AudioSystem() : impl_(std::make_unique<Impl>()) {}

AudioSystem::~AudioSystem()
{
    {
        std::lock_guard<std::mutex> lock(LiveMutex());
        auto& live = LiveSystems();
        live.erase(std::remove(live.begin(), live.end(), this), live.end());
    }
    Shutdown();
}

bool AudioSystem::Initiate()
{
    return Initiate(Device::Default);
}

bool AudioSystem::Initiate(Device device, int sampleRate)
{
    {
        // Registered after OpenAL is loaded, so the handler runs before OpenAL's cleanup.
        static std::once_flag registered;
        std::call_once(registered, [] { std::atexit(ShutdownLiveSystems); });
        std::lock_guard<std::mutex> lock(LiveMutex());
        auto& live = LiveSystems();
        if (std::find(live.begin(), live.end(), this) == live.end())
            live.push_back(this);
    }
    Impl& s = *impl_;
    std::lock_guard<std::mutex> lock(s.mutex);
    if (s.running)
        return true;
    if (device == Device::Default && s.device.OpenDefault())
        s.mode = Mode::Default;
    else if (device == Device::Loopback && s.device.OpenLoopback(sampleRate))
        s.mode = Mode::Loopback;
    else if (s.device.OpenLoopback(kSilentRate))
        s.mode = Mode::Silent;
    else
        s.mode = Mode::None;
    s.hasAl = s.mode != Mode::None;
    s.running = true;
    s.stopFeeder = false;
    if (s.mode == Mode::Default || s.mode == Mode::Silent)
        s.feeder = std::thread([&s] { s.FeederLoop(); });
    return true;
}

void AudioSystem::Shutdown()
{
    Impl& s = *impl_;
    {
        std::lock_guard<std::mutex> lock(s.mutex);
        if (!s.running)
            return;
        s.running = false;
        s.stopFeeder = true;
    }
    s.wake.notify_all();
    if (s.feeder.joinable())
        s.feeder.join();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.Close();
}

void AudioSystem::SetMusicVolume(int percent)
{
    Impl& s = *impl_;
    std::lock_guard<std::mutex> lock(s.mutex);
    s.musicVolume = ClampPercent(percent);
    for (uint32_t h : s.channels.Handles())
        if (const Channel* c = s.channels.Get(h); c->kind == ChannelKind::Music)
            s.ApplyGain(*c);
}

uint32_t AudioSystem::EffectLoad(const void* data, uint32_t size)
{
    // Decoding takes long; it runs outside the lock so streams keep being fed meanwhile.
    std::unique_ptr<AudioDecoder> decoder = OpenSoundFile(data, size);
    if (!decoder)
        return 0;
    const size_t width = static_cast<size_t>(decoder->Channels());
    std::vector<float> chunk(kBufferFrames * width);
    std::vector<int16_t> samples;
    for (;;) {
        const size_t n = std::min(decoder->Read(chunk.data(), kBufferFrames), kBufferFrames);
        if (n == 0)
            break;
        if (samples.size() + n * width > kMaxEffectSamples)
            return 0;
        ToPcm16(chunk.data(), n * width, samples);
    }
    // An empty sound plays as one silent frame.
    if (samples.empty())
        samples.assign(width, 0);

    Impl& s = *impl_;
    std::lock_guard<std::mutex> lock(s.mutex);
    if (!s.running)
        return 0;
    Effect effect;
    effect.channels = decoder->Channels();
    if (s.hasAl) {
        alGetError();
        alGenBuffers(1, &effect.buffer);
        if (alGetError() != AL_NO_ERROR)
            return 0;
        alBufferData(effect.buffer, Pcm16Format(effect.channels), samples.data(),
                     static_cast<ALsizei>(samples.size() * sizeof(int16_t)), decoder->Rate());
        if (alGetError() != AL_NO_ERROR) {
            alDeleteBuffers(1, &effect.buffer);
            return 0;
        }
    }
    const ALuint buffer = effect.buffer;
    const uint32_t handle = s.effects.Add(effect);
    if (!handle && buffer)
        alDeleteBuffers(1, &buffer);
    return handle;
}

void AudioSystem::EffectFree(uint32_t effect)
{
    Impl& s = *impl_;
    std::lock_guard<std::mutex> lock(s.mutex);
    Effect* e = s.effects.Get(effect);
    if (!e)
        return;
    for (uint32_t h : s.channels.Handles())
        if (const Channel* c = s.channels.Get(h); c->kind == ChannelKind::Effect && c->owner == effect)
            s.ReleaseChannel(h);
    if (e->buffer)
        alDeleteBuffers(1, &e->buffer);
    s.effects.Remove(effect);
}

uint32_t AudioSystem::EffectPlayEx(uint32_t effect, int volume, int pan, float pitch, bool loop)
{
    Impl& s = *impl_;
    std::lock_guard<std::mutex> lock(s.mutex);
    if (!s.running)
        return 0;
    return s.PlayEffect(effect, volume, pan, pitch, loop);
}

uint32_t AudioSystem::MusicLoad(const void* data, uint32_t size)
{
    if (!data || size == 0)
        return 0;
    auto feed = std::make_shared<Feed>();
    feed->bytes.assign(static_cast<const unsigned char*>(data), static_cast<const unsigned char*>(data) + size);
    feed->decoder = OpenModule(feed->bytes.data(), feed->bytes.size(), kModuleRate);
    if (!feed->decoder)
        feed->decoder = OpenSoundFile(feed->bytes.data(), feed->bytes.size());
    if (!feed->decoder)
        return 0;
    feed->channels = feed->decoder->Channels();
    feed->rate = feed->decoder->Rate();
    Music music;
    music.feed = std::move(feed);
    Impl& s = *impl_;
    std::lock_guard<std::mutex> lock(s.mutex);
    if (!s.running)
        return 0;
    return s.musics.Add(std::move(music));
}

void AudioSystem::MusicFree(uint32_t music)
{
    impl_->FreeStreamed(impl_->musics, music);
}

uint32_t AudioSystem::MusicPlay(uint32_t music, bool loop, int volume, int order, int row)
{
    return impl_->PlayStreamed(impl_->musics, ChannelKind::Music, music, loop, volume, order, row);
}

uint32_t AudioSystem::StreamLoad(const void* data, uint32_t size)
{
    auto feed = std::make_shared<Feed>();
    feed->decoder = OpenSoundFile(data, size);
    if (!feed->decoder)
        return 0;
    feed->channels = feed->decoder->Channels();
    feed->rate = feed->decoder->Rate();
    Stream stream;
    stream.feed = std::move(feed);
    Impl& s = *impl_;
    std::lock_guard<std::mutex> lock(s.mutex);
    if (!s.running)
        return 0;
    return s.streams.Add(std::move(stream));
}

void AudioSystem::StreamFree(uint32_t stream)
{
    impl_->FreeStreamed(impl_->streams, stream);
}

uint32_t AudioSystem::StreamPlay(uint32_t stream, bool loop, int volume)
{
    return impl_->PlayStreamed(impl_->streams, ChannelKind::Stream, stream, loop, volume, -1, -1);
}

void AudioSystem::ChannelSetVolume(uint32_t channel, int volume)
{
    Impl& s = *impl_;
    std::lock_guard<std::mutex> lock(s.mutex);
    if (Channel* c = s.channels.Get(channel)) {
        c->volume = ClampPercent(volume);
        s.ApplyGain(*c);
    }
}

void AudioSystem::ChannelPause(uint32_t channel)
{
    Impl& s = *impl_;
    std::lock_guard<std::mutex> lock(s.mutex);
    if (Channel* c = s.channels.Get(channel))
        s.Pause(*c, false);
}

void AudioSystem::ChannelResume(uint32_t channel)
{
    Impl& s = *impl_;
    std::lock_guard<std::mutex> lock(s.mutex);
    if (Channel* c = s.channels.Get(channel))
        s.Resume(*c);
}

void AudioSystem::ChannelStop(uint32_t channel)
{
    Impl& s = *impl_;
    std::lock_guard<std::mutex> lock(s.mutex);
    s.ReleaseChannel(channel);
}

bool AudioSystem::ChannelIsPlaying(uint32_t channel)
{
    Impl& s = *impl_;
    std::lock_guard<std::mutex> lock(s.mutex);
    const Channel* c = s.channels.Get(channel);
    return c && s.IsPlaying(*c);
}

void AudioSystem::ChannelPauseAll()
{
    Impl& s = *impl_;
    std::lock_guard<std::mutex> lock(s.mutex);
    for (uint32_t h : s.channels.Handles())
        s.Pause(*s.channels.Get(h), true);
}

void AudioSystem::ChannelResumeAll()
{
    Impl& s = *impl_;
    std::lock_guard<std::mutex> lock(s.mutex);
    for (uint32_t h : s.channels.Handles())
        if (Channel* c = s.channels.Get(h); c->pausedByAll)
            s.Resume(*c);
}

void AudioSystem::ChannelStopAll()
{
    Impl& s = *impl_;
    std::lock_guard<std::mutex> lock(s.mutex);
    for (uint32_t h : s.channels.Handles())
        s.ReleaseChannel(h);
}

bool AudioSystem::RenderSamples(float* out, int frames)
{
    Impl& s = *impl_;
    if (!out || frames < 0)
        return false;
    // Small chunks with the streams fed between them, as the feeder thread would.
    int done = 0;
    for (;;) {
        std::unique_lock<std::mutex> lock(s.mutex);
        if (!s.running || s.mode != Mode::Loopback)
            return false;
        s.TopUpLiveFeeds(lock);
        if (!s.running || s.mode != Mode::Loopback)
            return false;
        s.Service();
        if (done == frames)
            return true;
        const int n = std::min(kRenderChunk, frames - done);
        s.device.Render(out + static_cast<size_t>(done) * 2, n);
        done += n;
    }
}

bool AudioSystem::IsSilent() const
{
    std::lock_guard<std::mutex> lock(impl_->mutex);
    return impl_->running && (impl_->mode == Mode::Silent || impl_->mode == Mode::None);
}

}  // namespace hgeplatform
