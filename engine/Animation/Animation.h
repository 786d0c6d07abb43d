#pragma once
#include <vector>

#include "engine/Animation/AnimationKey.h"
#include "engine/Resources/Resource.h"

namespace EngineCore {

// A named list of keyframes (resource type 9). Keys stay in the order they were
// added and are never sorted: sampling expects the times to ascend in that order.
// The length is the largest key time ever added.
class Animation : public Resource {
public:
    Animation();
    ~Animation() override;

    // A bare animation is not a loadable resource; file-backed animations override this.
    bool IsValid() const override;

    void AddAnimationKey(const AnimationKey& key, float time);
    void Reserve(int count);
    // Runs the virtual Release, so a derived animation's own clean-up runs too.
    void Clear();
    float GetLength() const;
    size_t GetNumKeys() const { return _keys.size(); }
    // The time of key i; past the end the last key's time, and 0 without keys.
    float GetFrameTime(unsigned int index) const;

    // Blends the two keys around `time` into `out`. False when no key pair is
    // found; `out` is then untouched. With `loop` a time past the length wraps
    // into (0, length]; a length of 0 or less never wraps.
    virtual bool Sample(float time, bool loop, AnimationKey::KeyValue& out) const;

protected:
    void Init() override;
    void Release() override;

private:
    bool FindKeys(float time, bool loop, int& first, int& second) const;
    float ReduceTime(float time, bool loop) const;

    float _length = 0;
    std::vector<AnimationKey> _keys;
    std::vector<float> _times;
};

}  // namespace EngineCore
