#include "game/Wrappers/PropertySystemWrapper.h"

#include <memory>
#include <string>

#include <lua.hpp>

#include "engine/System/EngineError.h"
#include "game/Logic/PropertySystem.h"
#include "game/Wrappers/ScriptArguments.h"

namespace GameCore {

namespace {

const char* const kSource = "Wrappers\\PropertySystemWrapper.cpp";

bool HoldsSeparator(const std::string& text) { return text.find_first_of(":,") != std::string::npos; }

// The existing property of that name; "Property (%s) not found." otherwise.
std::shared_ptr<Property> Existing(const std::string& name, int line)
{
    std::shared_ptr<Property> property;
    if (!PropertySystem::Instance().FindProperty(name.c_str(), property))
        EngineCore::ThrowEngineErrorF(kSource, line, "Property (%s) not found.", name.c_str());
    return property;
}

}  // namespace

const char PropertySystemWrapper::className[] = "PropertySystem";

// The order of the rows is part of the script interface.
const GameLuaScriptImpl::LuaHelper<PropertySystemWrapper>::RegType PropertySystemWrapper::methods[] = {
    {"Remove", &PropertySystemWrapper::Remove},
    {"IsExist", &PropertySystemWrapper::IsExist},
    {"GetType", &PropertySystemWrapper::GetType},
    {"SetValue", &PropertySystemWrapper::SetValue},
    {"GetValue", &PropertySystemWrapper::GetValue},
    {"LoadProperty", &PropertySystemWrapper::LoadProperty},
    {nullptr, nullptr},
};

PropertySystemWrapper::PropertySystemWrapper(lua_State*) {}

int PropertySystemWrapper::Remove(lua_State* L)
{
    const std::string name = CheckString(L, 1);
    std::shared_ptr<Property> removed;
    PropertySystem::Instance().RemoveProperty(name.c_str(), removed);
    return 0;
}

int PropertySystemWrapper::IsExist(lua_State* L)
{
    const std::string name = CheckString(L, 1);
    std::shared_ptr<Property> property;
    PushTruth(L, PropertySystem::Instance().FindProperty(name.c_str(), property));
    return 1;
}

int PropertySystemWrapper::GetType(lua_State* L)
{
    const std::string name = CheckString(L, 1);
    lua_pushnumber(L, Existing(name, 66)->GetType());
    return 1;
}

int PropertySystemWrapper::SetValue(lua_State* L)
{
    const std::string name = CheckString(L, 1);
    const bool isNumber = lua_isnumber(L, 2) != 0;
    const bool isString = !isNumber && lua_isstring(L, 2) != 0;
    // Refused before anything changes: the saved text could not keep them apart.
    if (HoldsSeparator(name) || (isString && HoldsSeparator(CheckString(L, 2))))
        EngineCore::ThrowEngineErrorF(kSource, 78, "Property (%s) cann't hold ':' or ',' in its name or value.",
                                      name.c_str());

    PropertySystem& properties = PropertySystem::Instance();
    std::shared_ptr<Property> property;
    if (!properties.FindProperty(name.c_str(), property) && !properties.AddProperty(name.c_str(), property))
        EngineCore::ThrowEngineErrorF(kSource, 85, "Property (%s) not found.", name.c_str());

    if (isNumber)
        property->SetValue(CheckFloat(L, 2));
    else if (isString)
        property->SetValue(CheckString(L, 2).c_str());
    else
        EngineCore::ThrowEngineErrorF(
            kSource, 94, "Property (%s) cann't set unsupported value type or SetValue() missing argument.",
            name.c_str());
    return 0;
}

int PropertySystemWrapper::GetValue(lua_State* L)
{
    const std::string name = CheckString(L, 1);
    const Property property = Existing(name, 104)->Snapshot();
    int intValue = 0;
    float floatValue = 0.0f;
    std::string stringValue;
    if (property.GetValue(intValue))
        lua_pushnumber(L, intValue);
    else if (property.GetValue(floatValue))
        PushFloat(L, floatValue);
    else if (property.GetValue(stringValue))
        lua_pushstring(L, stringValue.c_str());
    else if (property.GetType() == Property::PT_WSTRING)
        EngineCore::ThrowEngineErrorF(kSource, 117, "Property (%s) with unicode don't supported.", name.c_str());
    else
        lua_pushnumber(L, 0);
    return 1;
}

int PropertySystemWrapper::LoadProperty(lua_State*)
{
    PropertySystem::Instance().AddPropertyFromSave();
    return 0;
}

}  // namespace GameCore
