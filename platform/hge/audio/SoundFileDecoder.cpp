#include <sndfile.h>

#include <cstring>

#include "platform/hge/audio/AudioDecoder.h"

namespace hgeplatform {

namespace {

// libsndfile reads through this cursor; it never writes.
struct MemoryCursor {
    const unsigned char* data = nullptr;
    sf_count_t size = 0;
    sf_count_t pos = 0;
};

sf_count_t CursorLength(void* user)
{
    return static_cast<MemoryCursor*>(user)->size;
}

sf_count_t CursorSeek(sf_count_t offset, int whence, void* user)
{
    auto* c = static_cast<MemoryCursor*>(user);
    sf_count_t base = 0;
    switch (whence) {
    case SEEK_SET: base = 0; break;
    case SEEK_CUR: base = c->pos; break;
    case SEEK_END: base = c->size; break;
    default: return -1;
    }
    if ((offset < 0 && -offset > base) || (offset > 0 && offset > c->size - base))
        return -1;
    c->pos = base + offset;
    return c->pos;
}

sf_count_t CursorRead(void* ptr, sf_count_t count, void* user)
{
    auto* c = static_cast<MemoryCursor*>(user);
    if (count <= 0 || c->pos >= c->size)
        return 0;
    const sf_count_t n = count < c->size - c->pos ? count : c->size - c->pos;
    std::memcpy(ptr, c->data + c->pos, static_cast<size_t>(n));
    c->pos += n;
    return n;
}

sf_count_t CursorWrite(const void*, sf_count_t, void*)
{
    return 0;
}

sf_count_t CursorTell(void* user)
{
    return static_cast<MemoryCursor*>(user)->pos;
}

class SoundFileDecoder final : public AudioDecoder {
public:
    bool Open(const void* data, size_t size)
    {
        cursor_.data = static_cast<const unsigned char*>(data);
        cursor_.size = static_cast<sf_count_t>(size);
        SF_VIRTUAL_IO io{CursorLength, CursorSeek, CursorRead, CursorWrite, CursorTell};
        SF_INFO info{};
        file_ = sf_open_virtual(&io, SFM_READ, &info, &cursor_);
        if (!file_)
            return false;
        if (info.channels < 1 || info.channels > 2 || info.samplerate < 1 || info.samplerate > 768000)
            return false;
        channels_ = info.channels;
        rate_ = info.samplerate;
        return true;
    }

    ~SoundFileDecoder() override
    {
        if (file_)
            sf_close(file_);
    }

    size_t Read(float* out, size_t frames) override
    {
        const sf_count_t n = sf_readf_float(file_, out, static_cast<sf_count_t>(frames));
        return n > 0 ? static_cast<size_t>(n) : 0;
    }

    bool Rewind() override { return sf_seek(file_, 0, SEEK_SET) == 0; }

private:
    MemoryCursor cursor_;
    SNDFILE* file_ = nullptr;
};

}  // namespace

std::unique_ptr<AudioDecoder> OpenSoundFile(const void* data, size_t size)
{
    if (!data || size == 0)
        return nullptr;
    auto decoder = std::make_unique<SoundFileDecoder>();
    if (!decoder->Open(data, size))
        return nullptr;
    return decoder;
}

}  // namespace hgeplatform
