#pragma once
#include <memory>

#include "engine/Resources/Resource.h"

namespace EngineCore {

class GUISystem;

// The custom mouse pointer: a sprite that the back-end draws at the mouse
// position while the cursor is shown. The GUI system shows and hides it.
class Cursor : public Resource {
public:
    Cursor();
    ~Cursor() override;

    // True when a sprite is set.
    bool IsValid() const override;

    virtual void SetSprite(const std::shared_ptr<Resource>& sprite);
    const std::shared_ptr<Resource>& GetSprite() const;
    bool IsVisible() const;

protected:
    friend class GUISystem;

    virtual void Show();
    virtual void Hide();

private:
    Cursor(const Cursor&) = delete;
    Cursor& operator=(const Cursor&) = delete;

    struct Impl;
    std::unique_ptr<Impl> _impl;
};

}  // namespace EngineCore
