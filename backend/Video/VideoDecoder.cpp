#include "backend/Video/VideoDecoder.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace MobrixCore {

namespace {

const size_t kChunk = 4096;

void BuildTable(std::array<int, 256>& table, long long factor)
{
    for (int i = 0; i < 256; ++i) {
        const long long scaled = (i - 128) * factor + 32768;
        // Floor division: negative products round toward minus infinity.
        table[static_cast<size_t>(i)] =
            static_cast<int>(scaled >= 0 ? scaled / 65536 : -((-scaled + 65535) / 65536));
    }
}

inline uint32_t Clamp(int value)
{
    return static_cast<uint32_t>(value < 0 ? 0 : (value > 255 ? 255 : value));
}

// How many bits a chroma plane is narrower (x) and shorter (y) than the luma plane.
void ChromaShift(th_pixel_fmt format, int& xShift, int& yShift)
{
    xShift = format == TH_PF_444 ? 0 : 1;
    yShift = format == TH_PF_420 ? 1 : 0;
}

}  // namespace

VideoDecoder::Tables::Tables()
{
    BuildTable(crToRed, 113443);
    BuildTable(crToGreen, 45744);
    BuildTable(cbToGreen, 22020);
    BuildTable(cbToBlue, 113508);
}

VideoDecoder::VideoDecoder(std::shared_ptr<const Bytes> bytes, HGE* hge)
    : VideoDecoder(bytes ? std::shared_ptr<const unsigned char>(bytes, bytes->data()) : nullptr,
                   bytes ? bytes->size() : 0, hge)
{
}

VideoDecoder::VideoDecoder(std::shared_ptr<const unsigned char> data, size_t size, HGE* hge)
    : _data(std::move(data)), _size(_data ? size : 0), _hge(hge)
{
    std::memset(&_page, 0, sizeof _page);
    std::memset(&_packet, 0, sizeof _packet);
    std::memset(&_stream, 0, sizeof _stream);
    ogg_sync_init(&_sync);
    th_info_init(&_info);
    th_comment_init(&_comment);
}

VideoDecoder::~VideoDecoder()
{
    th_info_clear(&_info);
    th_comment_clear(&_comment);
    // A failed open may leave the setup data behind.
    th_setup_free(_setup);
    th_decode_free(_context);
    if (_streamChosen)
        ogg_stream_clear(&_stream);
    ogg_sync_clear(&_sync);
}

bool VideoDecoder::Feed()
{
    const size_t left = _size - _readPosition;
    if (left == 0)
        return false;
    const size_t count = std::min(kChunk, left);
    char* buffer = ogg_sync_buffer(&_sync, static_cast<long>(count));
    if (!buffer)
        return false;
    std::memcpy(buffer, _data.get() + _readPosition, count);
    ogg_sync_wrote(&_sync, static_cast<long>(count));
    _readPosition += count;
    return true;
}

bool VideoDecoder::Fail()
{
    _ready = false;
    return false;
}

bool VideoDecoder::Open()
{
    // Headers are read once; a second call changes nothing.
    if (_opened)
        return false;
    if (!_ready || !ReadHeaders() || !Accept())
        return Fail();
    _context = th_decode_alloc(&_info, _setup);
    th_setup_free(_setup);
    _setup = nullptr;
    if (!_context)
        return Fail();
    th_decode_ctl(_context, TH_DECCTL_GET_PPLEVEL_MAX, &_postProcessingLevelMax, sizeof _postProcessingLevelMax);
    _postProcessingLevel = _postProcessingLevelMax;
    th_decode_ctl(_context, TH_DECCTL_SET_PPLEVEL, &_postProcessingLevel, sizeof _postProcessingLevel);
    _framePeriod = static_cast<float>(_info.fps_denominator) / static_cast<float>(_info.fps_numerator);
    _opened = true;
    return true;
}

// The chosen stream is the first whose beginning page carries a Theora header; the
// beginning pages of every stream come before any other page of the file.
bool VideoDecoder::ReadHeaders()
{
    int headers = 0;
    bool beginningPagesOver = false;
    for (;;) {
        const int pageResult = ogg_sync_pageout(&_sync, &_page);
        if (pageResult == 0) {
            if (!Feed())
                return false;
            continue;
        }
        if (pageResult < 0)
            continue;  // bytes skipped while looking for the next page
        if (!beginningPagesOver && ogg_page_bos(&_page)) {
            ogg_stream_state candidate;
            if (ogg_stream_init(&candidate, ogg_page_serialno(&_page)) != 0)
                return false;
            ogg_packet first;
            if (!_streamChosen && ogg_stream_pagein(&candidate, &_page) == 0 &&
                ogg_stream_packetout(&candidate, &first) > 0 &&
                th_decode_headerin(&_info, &_comment, &_setup, &first) >= 0) {
                _stream = candidate;
                _streamChosen = true;
                headers = 1;
            } else {
                ogg_stream_clear(&candidate);
            }
            continue;
        }
        beginningPagesOver = true;
        if (!_streamChosen)
            return false;
        // Pages of other streams are refused by libogg.
        ogg_stream_pagein(&_stream, &_page);
        while (headers < 3) {
            const int packetResult = ogg_stream_packetout(&_stream, &_packet);
            if (packetResult == 0)
                break;
            if (packetResult < 0)
                return false;  // a gap inside the headers
            // 0 is video data where a header belongs; negative is a broken header.
            if (th_decode_headerin(&_info, &_comment, &_setup, &_packet) <= 0)
                return false;
            ++headers;
        }
        if (headers == 3)
            return true;
    }
}

bool VideoDecoder::Accept() const
{
    if (_info.pixel_fmt != TH_PF_420 && _info.pixel_fmt != TH_PF_422 && _info.pixel_fmt != TH_PF_444)
        return false;
    if (_info.fps_numerator == 0 || _info.fps_denominator == 0)
        return false;
    if (_info.frame_width == 0 || _info.frame_height == 0 || _info.frame_width > kMaxFrameSide ||
        _info.frame_height > kMaxFrameSide)
        return false;
    if (_info.pic_width == 0 || _info.pic_height == 0)
        return false;
    // Compared without sums that could wrap.
    return _info.pic_x <= _info.frame_width && _info.pic_width <= _info.frame_width - _info.pic_x &&
           _info.pic_y <= _info.frame_height && _info.pic_height <= _info.frame_height - _info.pic_y;
}

int VideoDecoder::DecodeNext()
{
    if (!_ready || !_opened)
        return -1;
    for (;;) {
        const int packetResult = ogg_stream_packetout(&_stream, &_packet);
        if (packetResult > 0)
            break;
        if (packetResult < 0)
            continue;  // a gap: the packet after it follows
        int pageResult;
        while ((pageResult = ogg_sync_pageout(&_sync, &_page)) <= 0) {
            if (pageResult == 0 && !Feed()) {
                _ready = false;
                return -1;
            }
        }
        ogg_stream_pagein(&_stream, &_page);
    }
    if (_packet.granulepos >= 0)
        th_decode_ctl(_context, TH_DECCTL_SET_GRANPOS, &_packet.granulepos, sizeof _packet.granulepos);
    // Duplicate frames and broken packets leave the picture as it was.
    return th_decode_packetin(_context, &_packet, nullptr) == 0 ? 1 : 0;
}

bool VideoDecoder::Step(HTEXTURE texture)
{
    const int result = DecodeNext();
    if (result < 0)
        return false;
    if (result > 0)
        Convert(texture);
    return true;
}

bool VideoDecoder::Step(uint32_t* pixels, size_t pitch)
{
    const int result = DecodeNext();
    if (result < 0)
        return false;
    if (result > 0 && pixels)
        ConvertInto(pixels, pitch);
    return true;
}

void VideoDecoder::Convert(HTEXTURE texture)
{
    if (!_hge || !texture)
        return;
    const int width = static_cast<int>(_info.pic_width);
    const int height = static_cast<int>(_info.pic_height);
    // The texture is exactly the picture's size, so its rows are picture-width apart.
    DWORD* pixels = _hge->Texture_Lock(texture, false, 0, 0, width, height);
    if (!pixels)
        return;
    if (_hge->Texture_GetWidth(texture, false) == width && _hge->Texture_GetHeight(texture, false) == height)
        ConvertInto(pixels, _info.pic_width);
    _hge->Texture_Unlock(texture);
}

void VideoDecoder::ConvertInto(uint32_t* pixels, size_t pitch)
{
    th_ycbcr_buffer planes;
    if (th_decode_ycbcr_out(_context, planes) != 0)
        return;
    int xShift, yShift;
    ChromaShift(_info.pixel_fmt, xShift, yShift);
    const long long right = static_cast<long long>(_info.pic_x) + _info.pic_width;
    const long long bottom = static_cast<long long>(_info.pic_y) + _info.pic_height;
    // Every sample read lies inside its plane.
    if (planes[0].width < right || planes[0].height < bottom ||
        planes[1].width < ((right - 1) >> xShift) + 1 || planes[1].height < ((bottom - 1) >> yShift) + 1 ||
        planes[2].width < ((right - 1) >> xShift) + 1 || planes[2].height < ((bottom - 1) >> yShift) + 1)
        return;

    const int* crToRed = _tables.crToRed.data();
    const int* crToGreen = _tables.crToGreen.data();
    const int* cbToGreen = _tables.cbToGreen.data();
    const int* cbToBlue = _tables.cbToBlue.data();
    const unsigned picX = _info.pic_x;
    const unsigned width = _info.pic_width;
    for (unsigned j = 0; j < _info.pic_height; ++j) {
        const ptrdiff_t row = static_cast<ptrdiff_t>(_info.pic_y + j);
        const ptrdiff_t chromaRow = row >> yShift;
        const unsigned char* luma = planes[0].data + row * planes[0].stride + picX;
        const unsigned char* cb = planes[1].data + chromaRow * planes[1].stride;
        const unsigned char* cr = planes[2].data + chromaRow * planes[2].stride;
        uint32_t* out = pixels + static_cast<size_t>(j) * pitch;
        for (unsigned k = 0; k < width; ++k) {
            const unsigned chromaColumn = (picX + k) >> xShift;
            const int y = luma[k];
            const int u = cb[chromaColumn];
            const int v = cr[chromaColumn];
            const uint32_t blue = Clamp(y + cbToBlue[u]);
            const uint32_t green = Clamp(y - crToGreen[v] - cbToGreen[u]);
            const uint32_t red = Clamp(y + crToRed[v]);
            out[k] = 0xFF000000u | red << 16 | green << 8 | blue;
        }
    }
}

}  // namespace MobrixCore
