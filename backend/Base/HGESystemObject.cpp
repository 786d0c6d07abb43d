#include "backend/Base/HGESystemObject.h"

#include "engine/Renderer/RenderSystem.h"
#include "engine/System/EngineError.h"

namespace MobrixCore {

HGESystemObject& HGESystemObject::Instance()
{
    static HGESystemObject instance;
    return instance;
}

HGESystemObject::HGESystemObject() : _cell(nullptr)
{
    // Touching the render system first makes it outlive this holder at exit.
    (void)EngineCore::RenderSystem::Instance().GetScreenSettings();
    _cell = new HGE*(hgeCreate(HGE_VERSION));
    if (!*_cell) {
        delete _cell;
        _cell = nullptr;
        EngineCore::ThrowEngineError("Base\\HGESystemObject.cpp", 22, "Error creating HGE object.");
    }
}

HGESystemObject::~HGESystemObject()
{
    if (_cell) {
        if (*_cell)
            (*_cell)->Release();
        *_cell = nullptr;
        delete _cell;
        _cell = nullptr;
    }
}

}  // namespace MobrixCore
