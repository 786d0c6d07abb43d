#pragma once
// A sprite for tests: it draws nothing and writes each call it receives from the
// render system into a shared log, as "<call> <tag>".

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "engine/Renderer/Sprite.h"

namespace TestSupport {

class RecordingSprite : public EngineCore::Sprite {
public:
    RecordingSprite(std::string tag, std::vector<std::string>& log, float priority = 0.0f)
        : _tag(std::move(tag)), _log(&log)
    {
        SetPriority(priority);
    }
    RecordingSprite(const RecordingSprite&) = default;

    void Update(float dt) override
    {
        _log->push_back("update " + _tag);
        lastDt = dt;
        if (onUpdate) {
            // A copy: the function may destroy this sprite.
            const std::function<void()> fn = onUpdate;
            fn();
        }
    }
    void Render() override { _log->push_back("render " + _tag); }
    void SetVideoFullScreenMode(bool fullScreen) override
    {
        _log->push_back("video " + _tag + (fullScreen ? " on" : " off"));
    }
    bool GetVideoFullScreenMode() const override { return true; }

    std::function<void()> onUpdate;
    float lastDt = 0.0f;

private:
    std::string _tag;
    std::vector<std::string>* _log;
};

}  // namespace TestSupport
