#include <libopenmpt/libopenmpt.hpp>

#include <ostream>
#include <streambuf>

#include "platform/hge/audio/AudioDecoder.h"

namespace hgeplatform {

namespace {

// libopenmpt reports load warnings on a stream; the game has no use for them.
class NullBuffer final : public std::streambuf {
protected:
    int overflow(int c) override { return traits_type::not_eof(c); }
};

class ModuleDecoder final : public AudioDecoder {
public:
    bool Open(const void* data, size_t size, int rate)
    {
        try {
            module_ = std::make_unique<openmpt::module>(data, size, log_);
        } catch (...) {
            return false;
        }
        // The song ends once; looping is the channel's business.
        module_->set_repeat_count(0);
        channels_ = 2;
        rate_ = rate;
        return true;
    }

    size_t Read(float* out, size_t frames) override
    {
        try {
            return module_->read_interleaved_stereo(rate_, frames, out);
        } catch (...) {
            return 0;
        }
    }

    bool Rewind() override { return Seek(0, 0); }

    bool Seek(int order, int row) override
    {
        try {
            module_->set_position_order_row(order < 0 ? 0 : order, row < 0 ? 0 : row);
            return true;
        } catch (...) {
            return false;
        }
    }

private:
    // The module keeps a reference to its log stream: both outlive it.
    NullBuffer sink_;
    std::ostream log_{&sink_};
    std::unique_ptr<openmpt::module> module_;
};

}  // namespace

std::unique_ptr<AudioDecoder> OpenModule(const void* data, size_t size, int rate)
{
    if (!data || size == 0)
        return nullptr;
    auto decoder = std::make_unique<ModuleDecoder>();
    if (!decoder->Open(data, size, rate))
        return nullptr;
    return decoder;
}

}  // namespace hgeplatform
