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
    // The decoders read HGE's copy of the file; the last of them gives it back. Only this
    // player's decoders hold it, and they go before the player's HGE reference.
    HGE* hge = _hge;
    std::shared_ptr<const unsigned char> bytes(static_cast<const unsigned char*>(data), [hge](const unsigned char* p) {
        hge->Resource_Free(const_cast<unsigned char*>(p));
    });

    _decoder.reset(new VideoDecoder(bytes, size, _hge));
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
    std::shared_ptr<const unsigned char> bytes = _decoder->GetData();
    const size_t size = _decoder->GetSize();
    _decoder.reset(new VideoDecoder(bytes, size, _hge));
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
