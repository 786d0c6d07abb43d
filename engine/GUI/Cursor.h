#pragma once
#include <memory>

#include "engine/Resources/Resource.h"

namespace EngineCore {

class AnimationPlayer;
class GUISystem;

// The custom mouse pointer (resource type 10): a sprite that the back-end draws
// at the mouse position while the cursor is shown, optionally animated as a row
// of frames of the sprite's texture. The GUI system shows, hides and updates it.
// Every new sprite starts a fresh, stopped player: the animation is set up again
// after a sprite change.
class Cursor : public Resource {
public:
    Cursor();
    ~Cursor() override;

    // True when a sprite is set.
    bool IsValid() const override;

    // A sprite also gets a new player; an empty pointer keeps the old one.
    virtual void SetSprite(const std::shared_ptr<Resource>& sprite);
    const std::shared_ptr<Resource>& GetSprite() const;
    bool IsVisible() const;

    // Advances the animation of a shown, playing cursor.
    void Update(float dt);
    // The player controls do nothing before a sprite was set.
    void Play();
    void Pause();
    // Back to the first frame, shown at once.
    void Stop();
    void SetAnimationSpeed(float speed);
    void SetStartAnimationFrame(unsigned frame);
    // Makes the sprite's texture a looped animation of n frames over one second,
    // registered as "AnimatedCursors.<sprite name>.Animation"; 0, 1 and counts above
    // 65536 do nothing.
    // Throws without a sprite. Play starts it.
    void SetNumAnimatedFrames(unsigned count);

    // The player, for the tests and the back-end; null before any sprite.
    std::shared_ptr<AnimationPlayer> GetPlayer() const;

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
