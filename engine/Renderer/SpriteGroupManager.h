#pragma once

namespace EngineCore {

class SpriteGroup;

// Files sprite groups per game state and runs the group passes that the render
// system calls around its sort and its draw. It does not own the groups.
class SpriteGroupManager {
public:
    static SpriteGroupManager& Instance();

    // Each runs the group operation of the same name on every group filed under
    // the current game state, in address order.
    void EnablePriorityModifier();
    void DisablePriorityModifier();
    void EnableTransformationsModifier();
    void DisableTransformationsModifier();

    SpriteGroupManager(const SpriteGroupManager&) = delete;
    SpriteGroupManager& operator=(const SpriteGroupManager&) = delete;

protected:
    friend class SpriteGroup;

    // Files the group under the calling game state (GameStateScope::Owner;
    // an empty name is accepted).
    void RegisterSpriteGroup(SpriteGroup* group);
    // Removes the group from every game state.
    void UnregisterSpriteGroup(SpriteGroup* group);
    static bool IsAlive();

private:
    SpriteGroupManager();
    ~SpriteGroupManager();

    template <typename Pass>
    void RunPass(Pass pass);

    struct Impl;
    Impl* _impl;
};

}  // namespace EngineCore
