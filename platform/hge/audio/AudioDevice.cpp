#include "platform/hge/audio/AudioDevice.h"

#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>

namespace hgeplatform {

bool AudioDevice::OpenDefault()
{
    Close();
    device_ = alcOpenDevice(nullptr);
    if (!device_)
        return false;
    if (!CreateContext(nullptr)) {
        Close();
        return false;
    }
    ALCint rate = 0;
    alcGetIntegerv(device_, ALC_FREQUENCY, 1, &rate);
    rate_ = rate;
    return true;
}

bool AudioDevice::OpenLoopback(int rate)
{
    Close();
    if (rate < 8000 || rate > 192000 || !alcIsExtensionPresent(nullptr, "ALC_SOFT_loopback"))
        return false;
    auto open = reinterpret_cast<LPALCLOOPBACKOPENDEVICESOFT>(
        alcGetProcAddress(nullptr, "alcLoopbackOpenDeviceSOFT"));
    auto supported = reinterpret_cast<LPALCISRENDERFORMATSUPPORTEDSOFT>(
        alcGetProcAddress(nullptr, "alcIsRenderFormatSupportedSOFT"));
    auto render = reinterpret_cast<LPALCRENDERSAMPLESSOFT>(
        alcGetProcAddress(nullptr, "alcRenderSamplesSOFT"));
    if (!open || !supported || !render)
        return false;
    device_ = open(nullptr);
    if (!device_)
        return false;
    if (!supported(device_, rate, ALC_STEREO_SOFT, ALC_FLOAT_SOFT)) {
        Close();
        return false;
    }
    const ALCint attributes[] = {ALC_FORMAT_CHANNELS_SOFT, ALC_STEREO_SOFT, ALC_FORMAT_TYPE_SOFT,
                                 ALC_FLOAT_SOFT, ALC_FREQUENCY, rate, 0};
    if (!CreateContext(attributes)) {
        Close();
        return false;
    }
    loopback_ = true;
    rate_ = rate;
    render_ = reinterpret_cast<void (*)(ALCdevice_struct*, void*, int)>(render);
    return true;
}

bool AudioDevice::CreateContext(const int* attributes)
{
    context_ = alcCreateContext(device_, attributes);
    if (!context_)
        return false;
    if (!alcMakeContextCurrent(context_)) {
        alcDestroyContext(context_);
        context_ = nullptr;
        return false;
    }
    return true;
}

void AudioDevice::Close()
{
    if (context_) {
        alcMakeContextCurrent(nullptr);
        alcDestroyContext(context_);
        context_ = nullptr;
    }
    if (device_) {
        alcCloseDevice(device_);
        device_ = nullptr;
    }
    loopback_ = false;
    rate_ = 0;
    render_ = nullptr;
}

void AudioDevice::Render(float* out, int frames)
{
    if (loopback_ && render_ && frames > 0)
        render_(device_, out, frames);
}

}  // namespace hgeplatform
