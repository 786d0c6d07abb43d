#pragma once
// A sprite whose picture is an Ogg/Theora video playing into a texture, drawn through a
// helper quad. Invariants: frames advance only inside Update, at most one per call, while
// the sprite is visible and playing and a video is loaded; with no video loaded Update
// and Render do nothing. Full-screen mode asked for before a video is loaded is applied
// when the next video opens. Colour, blend mode, flips, hot spot and texture rectangle are
// stored by the base but not applied to the video.

#include <memory>
#include <string>

#include "engine/Renderer/Sprite.h"

namespace MobrixCore {

class HGEResourceFactory;
class VideoPlayer;
class hgeSprite;

class HGESpriteVideo : public EngineCore::Sprite {
public:
    HGESpriteVideo();
    ~HGESpriteVideo() override;

    bool IsValid() const override { return _helper != nullptr; }
    hgeSprite* GetData() const { return _helper; }

    void Update(float dt) override;
    void Render() override;

    // Raises "Video not open." when the file cannot be played; the sprite then has no video.
    void SetVideoFile(const char* path) override;
    void VideoPause() override { _paused = true; }
    void VideoPlay() override { _paused = false; }
    // Starts the video again from its first frame; the lateness carried over stays.
    void VideoReset() override;
    bool IsVideoPause() const override { return _paused; }
    void SetVideoLoop(bool loop) override { _loop = loop; }
    bool IsVideoLoop() const override { return _loop; }
    // On: fits the video into the screen settings' game area, centred, unrotated; with
    // stretch set and windowed clear each axis fills the area. Off leaves the geometry.
    void SetVideoFullScreenMode(bool fullScreen) override;
    bool GetVideoFullScreenMode() const override { return _fullScreen; }

    const std::string& GetVideoFileName() const { return _videoFileName; }

protected:
    friend class HGEResourceFactory;
    static std::shared_ptr<EngineCore::Resource> Create();

    void Init() override;
    void Release() override;
    // Steps one frame; at the end of the data the video loops or the sprite hides.
    void VideoUpdate();

private:
    bool HasVideo() const;
    void FitToScreen();
    // From the destructor a missing name is logged, not raised: nothing may throw there.
    void FreeHelper(bool inDestructor);

    VideoPlayer* _player = nullptr;
    std::string _videoFileName;
    bool _paused = true;
    bool _loop = false;
    bool _fullScreen = false;
    float _framePeriod = 0.0f;
    float _elapsed = 0.0f;
    float _debt = 0.0f;
    hgeSprite* _helper = nullptr;
};

}  // namespace MobrixCore
