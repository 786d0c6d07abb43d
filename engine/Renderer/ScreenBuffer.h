#pragma once
#include <memory>

namespace EngineCore {

class Resource;
class RenderSystem;

// Screen capture provided by the back-end and installed in the render system,
// which is the only caller of its operations.
class ScreenBuffer {
public:
    ScreenBuffer() = default;
    ScreenBuffer(const ScreenBuffer&) = default;
    ScreenBuffer& operator=(const ScreenBuffer&) = default;
    // Owners hold it through std::shared_ptr<ScreenBuffer>, which deletes it
    // through this base.
    virtual ~ScreenBuffer() = default;

protected:
    friend class RenderSystem;

    // Writes a picture of the screen to the path.
    virtual bool MakeScreenshot(const char* path) = 0;
    // Renders the current frame, scaled by the two factors, into a new texture resource.
    virtual bool GetCurrentTexture(float horizontalScale, float verticalScale,
                                   std::shared_ptr<Resource>& out) const = 0;
};

}  // namespace EngineCore
