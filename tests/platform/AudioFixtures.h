#pragma once
// Sound fixtures made in memory: sine tones written by libsndfile and a tiny tracker module.
#include <sndfile.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <vector>

namespace audiofixtures {

using Bytes = std::vector<unsigned char>;

struct MemoryFile {
    Bytes bytes;
    sf_count_t pos = 0;
};

inline sf_count_t Length(void* u)
{
    return static_cast<sf_count_t>(static_cast<MemoryFile*>(u)->bytes.size());
}

inline sf_count_t Seek(sf_count_t offset, int whence, void* u)
{
    auto* f = static_cast<MemoryFile*>(u);
    const sf_count_t base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? f->pos : Length(u);
    f->pos = base + offset;
    return f->pos;
}

inline sf_count_t Read(void* ptr, sf_count_t count, void* u)
{
    auto* f = static_cast<MemoryFile*>(u);
    const sf_count_t left = Length(u) - f->pos;
    const sf_count_t n = count < left ? count : left;
    if (n <= 0)
        return 0;
    std::memcpy(ptr, f->bytes.data() + f->pos, static_cast<size_t>(n));
    f->pos += n;
    return n;
}

inline sf_count_t Write(const void* ptr, sf_count_t count, void* u)
{
    auto* f = static_cast<MemoryFile*>(u);
    if (f->bytes.size() < static_cast<size_t>(f->pos + count))
        f->bytes.resize(static_cast<size_t>(f->pos + count));
    std::memcpy(f->bytes.data() + f->pos, ptr, static_cast<size_t>(count));
    f->pos += count;
    return count;
}

inline sf_count_t Tell(void* u)
{
    return static_cast<MemoryFile*>(u)->pos;
}

// A sine tone of `seconds` at `hz`, peak `amplitude`, as a whole file in `format`
// (e.g. SF_FORMAT_WAV | SF_FORMAT_PCM_16 or SF_FORMAT_OGG | SF_FORMAT_VORBIS).
inline Bytes Tone(int format, double seconds, int channels = 1, int rate = 44100, double hz = 440.0,
                  double amplitude = 0.5)
{
    MemoryFile file;
    SF_VIRTUAL_IO io{Length, Seek, Read, Write, Tell};
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = channels;
    info.format = format;
    SNDFILE* sf = sf_open_virtual(&io, SFM_WRITE, &info, &file);
    if (!sf)
        throw std::runtime_error(sf_strerror(nullptr));
    const auto frames = static_cast<size_t>(seconds * rate);
    std::vector<float> data(frames * static_cast<size_t>(channels));
    for (size_t i = 0; i < frames; ++i)
        for (int c = 0; c < channels; ++c)
            data[i * static_cast<size_t>(channels) + static_cast<size_t>(c)] =
                static_cast<float>(amplitude * std::sin(2.0 * M_PI * hz * static_cast<double>(i) / rate));
    sf_writef_float(sf, data.data(), static_cast<sf_count_t>(frames));
    sf_close(sf);
    return file.bytes;
}

inline Bytes Wav(double seconds)
{
    return Tone(SF_FORMAT_WAV | SF_FORMAT_PCM_16, seconds);
}

// A four-channel module ("M.K.") of one pattern: a looped square-wave sample struck on
// row 0 of the first channel, so it sounds for the whole pattern (64 rows, about 7.7 s).
inline Bytes TrackerModule()
{
    Bytes m(20, 0);
    const char title[] = "fixture";
    std::memcpy(m.data(), title, sizeof title - 1);
    const uint16_t sampleWords = 32;
    for (int s = 0; s < 31; ++s) {
        unsigned char header[30] = {};
        if (s == 0) {
            header[22] = sampleWords >> 8;
            header[23] = sampleWords & 0xFF;
            header[25] = 64;  // volume
            header[28] = sampleWords >> 8;  // the whole sample repeats
            header[29] = sampleWords & 0xFF;
        } else {
            header[29] = 1;  // an empty sample's repeat length is one word
        }
        m.insert(m.end(), header, header + 30);
    }
    m.push_back(1);    // song length
    m.push_back(127);  // restart position
    Bytes orders(128, 0);
    m.insert(m.end(), orders.begin(), orders.end());
    const char tag[] = "M.K.";
    m.insert(m.end(), tag, tag + 4);
    Bytes pattern(64 * 4 * 4, 0);
    const uint16_t period = 428;  // C-2
    pattern[0] = static_cast<unsigned char>((1 & 0xF0) | (period >> 8));
    pattern[1] = period & 0xFF;
    pattern[2] = static_cast<unsigned char>((1 & 0x0F) << 4);
    m.insert(m.end(), pattern.begin(), pattern.end());
    for (int i = 0; i < sampleWords * 2; ++i)
        m.push_back(static_cast<unsigned char>(i < sampleWords ? 100 : -100));
    return m;
}

}  // namespace audiofixtures
