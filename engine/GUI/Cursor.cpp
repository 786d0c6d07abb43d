#include "engine/GUI/Cursor.h"

namespace EngineCore {

struct Cursor::Impl {
    bool visible = false;
    std::shared_ptr<Resource> sprite;
};

Cursor::Cursor() : _impl(new Impl)
{
    SetType(RT_CURSOR);
}

Cursor::~Cursor() = default;

bool Cursor::IsValid() const
{
    return static_cast<bool>(_impl->sprite);
}

void Cursor::SetSprite(const std::shared_ptr<Resource>& sprite)
{
    _impl->sprite = sprite;
}

const std::shared_ptr<Resource>& Cursor::GetSprite() const
{
    return _impl->sprite;
}

bool Cursor::IsVisible() const
{
    return _impl->visible;
}

void Cursor::Show()
{
    _impl->visible = true;
}

void Cursor::Hide()
{
    _impl->visible = false;
}

}  // namespace EngineCore
