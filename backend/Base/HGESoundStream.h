#pragma once
// A streamed sound: the file named by the resource, decoded while it plays. Non-looping
// plays overlap: each play while the others sound loads one more copy over the same kept
// bytes, and copies that have finished are reused. A looping play leaves one copy.
//
// Every stream follows a remembered global volume: the music volume when it is flagged as
// music, else the sound volume. Its own SetVolume lasts until its next play or load.
//
// The registry of live streams and the remembered volumes are class-wide and reached by
// the loader thread (streams made while a state loads) and by the main thread (volume
// changes): one class-wide lock guards them and every stream's copies.

#include <memory>
#include <vector>

#include "engine/Audio/SoundStream.h"
#include "platform/hge/hge.h"

namespace EngineCore {
class CachedFile;
}

namespace MobrixCore {

class HGEResourceFactory;

class HGESoundStream : public EngineCore::SoundStream {
public:
    HGESoundStream();
    ~HGESoundStream() override;
    HGESoundStream(const HGESoundStream&) = delete;
    HGESoundStream& operator=(const HGESoundStream&) = delete;

    bool IsValid() const override;
    void Stop() override;
    void Pause() override;
    void Resume() override;
    void Play(bool loop) override;
    void SetVolume(float volume) override;
    bool IsPlaying() const override;

    // Remembers the volume of one kind and sets it on every live stream of that kind.
    static void SetGlobalVolume(float volume, bool music);
    // Forgets the registry; streams destroyed afterwards skip it.
    static void Close();

    // Copies loaded, sounding or not.
    int GetCopyCount() const;

protected:
    friend class HGEResourceFactory;
    static std::shared_ptr<EngineCore::Resource> Create();

    void Init() override;
    void Release() override;

private:
    struct Pair {
        HSTREAM stream = 0;
        HCHANNEL channel = 0;
    };

    bool IsValidIndex(int index) const;
    bool IsPlaying(int index) const;
    void Init(int index);
    void Release(int index);
    void Play(int index, bool loop);
    void Stop(int index);
    void SetVolume(int index);
    float RememberedVolume() const;

    float _volume = 1.0f;
    bool _loop = false;
    std::vector<Pair> _pairs;
    // The bytes HGE's streams read while they play.
    std::shared_ptr<EngineCore::CachedFile> _file;
};

}  // namespace MobrixCore
