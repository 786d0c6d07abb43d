#pragma once
// Sound, track and stream resources that note every call in one shared journal, so tests of
// the script classes see what reached the engine objects and in which order.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "engine/Audio/Sound.h"
#include "engine/Audio/SoundStream.h"
#include "engine/Audio/Track.h"
#include "engine/Resources/ResourceFactory.h"
#include "engine/System/EngineError.h"

namespace AudioTest {

struct Call {
    std::string who;   // the resource name
    std::string what;  // "Play(1)", "Stop", "SetVolume", ...
    float volume = 0.0f;
};

using Journal = std::vector<Call>;

template <class Base>
class FakeAudio : public Base {
public:
    explicit FakeAudio(std::shared_ptr<Journal> journal) : _journal(std::move(journal)) {}

    bool IsValid() const override { return true; }
    void Stop() override
    {
        Note("Stop");
        playing = false;
    }
    void Pause() override { Note("Pause"); }
    void Resume() override { Note("Resume"); }
    void Play(bool loop) override
    {
        Note(loop ? "Play(1)" : "Play(0)");
        playing = true;
    }
    void SetVolume(float volume) override { _journal->push_back({this->GetName(), "SetVolume", volume}); }
    bool IsPlaying() const override { return playing; }

    bool playing = false;

protected:
    // A name holding "broken" fails as a missing file does in the back-end.
    void Init() override
    {
        if (std::string(this->GetName()).find("broken") != std::string::npos)
            EngineCore::ThrowEngineErrorF("Base\\Fake", 1, "Resource (%s) loading error.", this->GetName());
    }

private:
    void Note(const char* what) { _journal->push_back({this->GetName(), what, 0.0f}); }
    std::shared_ptr<Journal> _journal;
};

// Registers creators of the three fakes for the lifetime of the object.
class FakeAudioCreators {
public:
    explicit FakeAudioCreators(std::shared_ptr<Journal> journal)
    {
        EngineCore::ResourceFactory& factory = EngineCore::ResourceFactory::Instance();
        factory.RegisterResourceCreator(6, [journal] { return std::make_shared<FakeAudio<EngineCore::Sound>>(journal); });
        factory.RegisterResourceCreator(7,
                                        [journal] { return std::make_shared<FakeAudio<EngineCore::SoundStream>>(journal); });
        factory.RegisterResourceCreator(8, [journal] { return std::make_shared<FakeAudio<EngineCore::Track>>(journal); });
    }
    ~FakeAudioCreators()
    {
        for (int type : {6, 7, 8})
            EngineCore::ResourceFactory::Instance().UnregisterResourceCreator(type);
    }
    FakeAudioCreators(const FakeAudioCreators&) = delete;
    FakeAudioCreators& operator=(const FakeAudioCreators&) = delete;
};

// "name.what" for each call other than SetVolume, in order.
inline std::vector<std::string> Ops(const Journal& journal)
{
    std::vector<std::string> out;
    for (const Call& call : journal)
        if (call.what != "SetVolume")
            out.push_back(call.who + "." + call.what);
    return out;
}

}  // namespace AudioTest
