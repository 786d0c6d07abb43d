#pragma once
// Reads one Theora stream out of an Ogg file held in memory and turns its frames into
// 32-bit pixels (bytes B, G, R, A; alpha always 255).
//
// Invariants: libogg is fed at most 4096 bytes at a time from the shared copy of the file;
// every loop ends because each turn either takes a page or feeds new bytes, and the bytes
// are finite. A file is refused (Open false) when it has no Theora stream, its headers are
// broken or out of order, its pixel format is unknown, its frame rate has a zero term, or
// its frame is larger than kMaxFrameSide on a side: a damaged header must not make the
// decoder reserve gigabytes. Once not ready a decoder stays so.

#include <ogg/ogg.h>
#include <theora/theoradec.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/hge/hge.h"

namespace MobrixCore {

class VideoDecoder {
public:
    using Bytes = std::vector<unsigned char>;
    static const unsigned kMaxFrameSide = 4096;

    // The decoder reads the shared bytes and never changes them; `hge` locks the textures
    // Step writes into and may be null for callers that only use Step(pixels).
    VideoDecoder(std::shared_ptr<const Bytes> bytes, HGE* hge);
    // The same over `size` bytes at `data`, kept alive (and freed) by the pointer.
    VideoDecoder(std::shared_ptr<const unsigned char> data, size_t size, HGE* hge);
    ~VideoDecoder();
    VideoDecoder(const VideoDecoder&) = delete;
    VideoDecoder& operator=(const VideoDecoder&) = delete;

    // Reads the headers and makes the decoder; false leaves the decoder not ready.
    bool Open();
    // Decodes one packet; a new frame (not a duplicate) is written into the texture's
    // picture-sized region. False at the end of the data or when not ready.
    bool Step(HTEXTURE texture);
    // The same into `pixels`, picture width x height, rows `pitch` texels apart.
    bool Step(uint32_t* pixels, size_t pitch);

    bool IsReady() const { return _ready; }
    float GetFramePeriod() const { return _framePeriod; }
    // The displayed picture's size; 0 before a successful Open.
    unsigned GetPictureWidth() const { return _opened ? _info.pic_width : 0; }
    unsigned GetPictureHeight() const { return _opened ? _info.pic_height : 0; }
    const std::shared_ptr<const unsigned char>& GetData() const { return _data; }
    size_t GetSize() const { return _size; }

    // The Y'CbCr to BGRA lookup tables: T[i] = floor(((i - 128) * K + 32768) / 65536).
    struct Tables {
        Tables();
        std::array<int, 256> crToRed, crToGreen, cbToGreen, cbToBlue;
    };

private:
    // Hands libogg the next chunk; false when every byte has been fed.
    bool Feed();
    bool Fail();
    bool ReadHeaders();
    bool Accept() const;
    // -1: no more data; 0: a packet without a new frame; 1: a new frame is ready.
    int DecodeNext();
    void Convert(HTEXTURE texture);
    void ConvertInto(uint32_t* pixels, size_t pitch);

    std::shared_ptr<const unsigned char> _data;
    size_t _size = 0;
    bool _ready = true;
    bool _opened = false;
    size_t _readPosition = 0;
    ogg_sync_state _sync;
    ogg_page _page;
    ogg_packet _packet;
    ogg_stream_state _stream;
    bool _streamChosen = false;
    th_info _info;
    th_comment _comment;
    th_setup_info* _setup = nullptr;
    th_dec_ctx* _context = nullptr;
    float _framePeriod = 0.0f;
    int _postProcessingLevel = 0;
    int _postProcessingLevelMax = 0;
    HGE* _hge;
    Tables _tables;
};

}  // namespace MobrixCore
