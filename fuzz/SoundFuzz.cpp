// Sound files from memory: WAV, Ogg Vorbis, FLAC (libsndfile) and tracker modules
// (libopenmpt), opened and decoded as the audio layer does for effects, streams and music.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "platform/hge/audio/AudioDecoder.h"

namespace {

// Enough to run every decoder through a damaged file's body; a module whose song is long
// is cut here, as the fuzzer's input is never a real song.
const size_t kMaxFrames = size_t(1) << 18;

void Drain(hgeplatform::AudioDecoder& decoder)
{
    const int channels = decoder.Channels();
    if (channels < 1 || channels > 2 || decoder.Rate() <= 0)
        std::abort();  // the decoders promise mono or stereo at a real rate
    std::vector<float> buffer(4096 * static_cast<size_t>(channels));
    for (int pass = 0; pass < 2; ++pass) {
        size_t total = 0;
        while (total < kMaxFrames) {
            const size_t n = decoder.Read(buffer.data(), 4096);
            if (n == 0)
                break;
            if (n > 4096)
                std::abort();
            total += n;
        }
        if (!decoder.Rewind())
            break;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (std::unique_ptr<hgeplatform::AudioDecoder> decoder = hgeplatform::OpenSoundFile(data, size))
        Drain(*decoder);
    if (std::unique_ptr<hgeplatform::AudioDecoder> decoder = hgeplatform::OpenModule(data, size, 44100))
        Drain(*decoder);
    return 0;
}
