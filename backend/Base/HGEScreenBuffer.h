#pragma once
// Screenshots and a texture of the current frame, for the render system.

#include <memory>

#include "engine/Renderer/ScreenBuffer.h"

namespace MobrixCore {

class HGEScreenBuffer : public EngineCore::ScreenBuffer {
public:
    HGEScreenBuffer() = default;
    HGEScreenBuffer(const HGEScreenBuffer&) = default;
    HGEScreenBuffer& operator=(const HGEScreenBuffer&) = default;

protected:
    // Writes the last frame as a BMP file; the folder must exist. False off the window's
    // thread (no frame to take there), else true whatever the layer did.
    bool MakeScreenshot(const char* path) override;
    // Draws a whole extra frame through the render updater into a render target scaled by
    // (horizontalScale, verticalScale) and adds its picture to the resource manager as
    // "HGE.ScreenBuffer<n>". Both target sides are taken from the screen width. Main
    // thread only, never inside the frame's own scene.
    bool GetCurrentTexture(float horizontalScale, float verticalScale,
                           std::shared_ptr<EngineCore::Resource>& texture) const override;
};

}  // namespace MobrixCore
