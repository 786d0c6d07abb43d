#include "backend/Video/VideoPlayer.h"

#include "backend/Video/VideoDecoder.h"

namespace MobrixCore {

VideoPlayer::VideoPlayer() : _hge(hgeCreate(HGE_VERSION)) {}

VideoPlayer::~VideoPlayer()
{
    Close();
    if (_hge)
        _hge->Release();
}

bool VideoPlayer::Open(const char* path)
{
    Close();
    if (!_hge)
        return false;
    DWORD size = 0;
    void* data = _hge->Resource_Load(path, &size);
    if (!data)
        return false;
    const unsigned char* begin = static_cast<const unsigned char*>(data);
    auto bytes = std::make_shared<const VideoDecoder::Bytes>(begin, begin + size);
    _hge->Resource_Free(data);

    _decoder.reset(new VideoDecoder(bytes, _hge));
    if (!_decoder->Open()) {
        _decoder.reset();
        return false;
    }
    _texture = _hge->Texture_Create(static_cast<int>(_decoder->GetPictureWidth()),
                                    static_cast<int>(_decoder->GetPictureHeight()));
    if (!_texture) {
        _decoder.reset();
        return false;
    }
    _width = static_cast<float>(_hge->Texture_GetWidth(_texture, false));
    _height = static_cast<float>(_hge->Texture_GetHeight(_texture, false));
    return true;
}

bool VideoPlayer::Reset()
{
    if (!_decoder)
        return false;
    std::shared_ptr<const VideoDecoder::Bytes> bytes = _decoder->GetBytes();
    _decoder.reset(new VideoDecoder(bytes, _hge));
    return _decoder->Open();
}

void VideoPlayer::Close()
{
    if (_texture && _hge)
        _hge->Texture_Free(_texture);
    _texture = 0;
    _width = 0.0f;
    _height = 0.0f;
    _decoder.reset();
}

bool VideoPlayer::Step()
{
    return _decoder ? _decoder->Step(_texture) : false;
}

bool VideoPlayer::HasData() const
{
    return _decoder && _decoder->IsReady();
}

float VideoPlayer::GetFramePeriod() const
{
    return _decoder ? _decoder->GetFramePeriod() : 0.0f;
}

}  // namespace MobrixCore
