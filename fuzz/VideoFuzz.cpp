// Ogg/Theora files through the video decoder: headers, every packet, and the colour
// conversion of each new frame into a picture-sized buffer.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "backend/Video/VideoDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    auto bytes = std::make_shared<const MobrixCore::VideoDecoder::Bytes>(data, data + size);
    MobrixCore::VideoDecoder decoder(bytes, nullptr);
    if (!decoder.Open()) {
        if (decoder.IsReady() || decoder.Step(nullptr, 0))
            std::abort();  // a refused file stays refused
        return 0;
    }
    const size_t width = decoder.GetPictureWidth();
    const size_t height = decoder.GetPictureHeight();
    if (width == 0 || height == 0 || width > MobrixCore::VideoDecoder::kMaxFrameSide ||
        height > MobrixCore::VideoDecoder::kMaxFrameSide || !(decoder.GetFramePeriod() > 0.0f))
        std::abort();
    // Large pictures are decoded without conversion to keep each run short.
    std::vector<uint32_t> pixels(width * height <= (1u << 18) ? width * height : 0);
    uint32_t* target = pixels.empty() ? nullptr : pixels.data();
    // Every step takes a packet or feeds bytes, so the loop ends with the data.
    while (decoder.Step(target, width)) {
    }
    if (decoder.IsReady())
        std::abort();
    return 0;
}
