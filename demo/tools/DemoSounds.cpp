#include "demo/tools/DemoSounds.h"

#include <sndfile.h>

#include <cmath>
#include <cstring>
#include <functional>

namespace DemoData {

namespace {

const int kRate = 44100;

struct MemoryFile {
    std::vector<unsigned char> bytes;
    sf_count_t pos = 0;
};

sf_count_t Length(void* u) { return static_cast<sf_count_t>(static_cast<MemoryFile*>(u)->bytes.size()); }

sf_count_t Seek(sf_count_t offset, int whence, void* u)
{
    auto* f = static_cast<MemoryFile*>(u);
    const sf_count_t base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? f->pos : Length(u);
    f->pos = base + offset;
    return f->pos;
}

sf_count_t Read(void* ptr, sf_count_t count, void* u)
{
    auto* f = static_cast<MemoryFile*>(u);
    const sf_count_t n = std::min(count, Length(u) - f->pos);
    if (n <= 0)
        return 0;
    std::memcpy(ptr, f->bytes.data() + f->pos, static_cast<size_t>(n));
    f->pos += n;
    return n;
}

sf_count_t Write(const void* ptr, sf_count_t count, void* u)
{
    auto* f = static_cast<MemoryFile*>(u);
    if (f->bytes.size() < static_cast<size_t>(f->pos + count))
        f->bytes.resize(static_cast<size_t>(f->pos + count));
    std::memcpy(f->bytes.data() + f->pos, ptr, static_cast<size_t>(count));
    f->pos += count;
    return count;
}

sf_count_t Tell(void* u) { return static_cast<MemoryFile*>(u)->pos; }

// A mono sound of `seconds` whose sample at time t is `wave(t)`.
std::vector<unsigned char> Encode(int format, double seconds, const std::function<double(double)>& wave)
{
    MemoryFile file;
    SF_VIRTUAL_IO io{Length, Seek, Read, Write, Tell};
    SF_INFO info{};
    info.samplerate = kRate;
    info.channels = 1;
    info.format = format;
    SNDFILE* sf = sf_open_virtual(&io, SFM_WRITE, &info, &file);
    if (!sf)
        return {};
    const auto frames = static_cast<size_t>(seconds * kRate);
    std::vector<float> data(frames);
    for (size_t i = 0; i < frames; ++i)
        data[i] = static_cast<float>(wave(static_cast<double>(i) / kRate));
    sf_writef_float(sf, data.data(), static_cast<sf_count_t>(frames));
    sf_close(sf);
    return file.bytes;
}

double Note(double hz, double t)
{
    return std::sin(2.0 * M_PI * hz * t);
}

// Four chords of one second each; every note swells and fades within its second, so the
// loop joins without a click.
std::function<double(double)> Chords(const std::vector<std::vector<double>>& chords)
{
    return [chords](double t) {
        const std::vector<double>& chord = chords[static_cast<size_t>(t) % chords.size()];
        const double within = t - std::floor(t);
        const double envelope = std::sin(M_PI * within);
        double sum = 0.0;
        for (double hz : chord)
            sum += Note(hz, t);
        return 0.25 * envelope * sum / static_cast<double>(chord.size());
    };
}

}  // namespace

std::vector<SoundFile> Sounds()
{
    const int ogg = SF_FORMAT_OGG | SF_FORMAT_VORBIS;
    return {
        // A slow minor progression for the menu, a brighter major one for the game.
        {"Music/Menu.ogg",
         Encode(ogg, 4.0, Chords({{220.0, 261.6, 329.6}, {174.6, 220.0, 261.6}, {196.0, 246.9, 293.7},
                                  {164.8, 207.7, 246.9}}))},
        {"Music/Game.ogg",
         Encode(ogg, 4.0, Chords({{261.6, 329.6, 392.0}, {349.2, 440.0, 523.3}, {392.0, 493.9, 587.3},
                                  {261.6, 329.6, 392.0}}))},
        // A falling blip.
        {"Sounds/Bounce.wav", Encode(SF_FORMAT_WAV | SF_FORMAT_PCM_16, 0.08, [](double t) {
             return 0.4 * (1.0 - t / 0.08) * Note(880.0 - 3000.0 * t, t);
         })},
    };
}

}  // namespace DemoData
