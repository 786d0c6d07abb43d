#pragma once
// A source of interleaved float frames over bytes the decoder does not own: the owner keeps
// them alive for the decoder's lifetime.
#include <cstddef>
#include <memory>

namespace hgeplatform {

class AudioDecoder {
public:
    virtual ~AudioDecoder() = default;

    int Channels() const { return channels_; }
    int Rate() const { return rate_; }

    // Reads up to `frames` frames into `out` (Channels() floats each); 0 only at the end.
    virtual size_t Read(float* out, size_t frames) = 0;
    // Back to the first frame; false when the data cannot seek.
    virtual bool Rewind() = 0;
    // Tracker modules start at an order and row; other sounds rewind.
    virtual bool Seek(int order, int row)
    {
        (void)order;
        (void)row;
        return Rewind();
    }

protected:
    int channels_ = 0;
    int rate_ = 0;
};

// WAV, Ogg Vorbis, FLAC and the other formats libsndfile reads; mono or stereo only.
// Null when the bytes are not such a sound.
std::unique_ptr<AudioDecoder> OpenSoundFile(const void* data, size_t size);

// Tracker modules through libopenmpt, rendered as stereo at `rate`. Null when the bytes are
// not a module.
std::unique_ptr<AudioDecoder> OpenModule(const void* data, size_t size, int rate);

}  // namespace hgeplatform
