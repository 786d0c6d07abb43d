#include "game/Logic/Property.h"

#include "game/Logic/PropertySystem.h"

namespace GameCore {

std::recursive_mutex& Property::ValueLock()
{
    return PropertySystem::Instance()._mutex;
}

using Lock = std::lock_guard<std::recursive_mutex>;

Property::PropertyType Property::GetType() const
{
    const Lock lock(ValueLock());
    return _type;
}

Property Property::Snapshot() const
{
    const Lock lock(ValueLock());
    return *this;
}

bool Property::GetValue(int& value) const
{
    const Lock lock(ValueLock());
    if (_type != PT_INT)
        return false;
    value = _int;
    return true;
}

bool Property::GetValue(float& value) const
{
    const Lock lock(ValueLock());
    if (_type != PT_FLOAT)
        return false;
    value = _float;
    return true;
}

bool Property::GetValue(std::string& value) const
{
    const Lock lock(ValueLock());
    if (_type != PT_STRING)
        return false;
    value = _string;
    return true;
}

bool Property::GetValue(std::wstring& value) const
{
    const Lock lock(ValueLock());
    if (_type != PT_WSTRING)
        return false;
    value = _wstring;
    return true;
}

void Property::SetValue(int value)
{
    const Lock lock(ValueLock());
    _type = PT_INT;
    _int = value;
}

void Property::SetValue(float value)
{
    const Lock lock(ValueLock());
    _type = PT_FLOAT;
    _float = value;
}

void Property::SetValue(const char* value)
{
    const Lock lock(ValueLock());
    _type = PT_STRING;
    _string = value ? value : "";
}

void Property::SetValue(const wchar_t* value)
{
    const Lock lock(ValueLock());
    _type = PT_WSTRING;
    _wstring = value ? value : L"";
}

}  // namespace GameCore
