#pragma once
// The OpenAL device and its context: the system's default output, or a loopback device that
// mixes only when Render is called (for tests, and as the silent device when there is no
// output at all). The context is made current for the whole process.

struct ALCdevice_struct;
struct ALCcontext_struct;

namespace hgeplatform {

class AudioDevice {
public:
    AudioDevice() = default;
    ~AudioDevice() { Close(); }
    AudioDevice(const AudioDevice&) = delete;
    AudioDevice& operator=(const AudioDevice&) = delete;

    bool OpenDefault();
    // Stereo float output at `rate` frames per second.
    bool OpenLoopback(int rate);
    void Close();

    bool IsOpen() const { return context_ != nullptr; }
    bool IsLoopback() const { return loopback_; }
    int Rate() const { return rate_; }
    // Mixes `frames` interleaved stereo float frames; loopback devices only.
    void Render(float* out, int frames);

private:
    bool CreateContext(const int* attributes);

    ALCdevice_struct* device_ = nullptr;
    ALCcontext_struct* context_ = nullptr;
    bool loopback_ = false;
    int rate_ = 0;
    void (*render_)(ALCdevice_struct*, void*, int) = nullptr;
};

}  // namespace hgeplatform
