#include "game/Logic/Property.h"

namespace GameCore {

bool Property::GetValue(int& value) const
{
    if (_type != PT_INT)
        return false;
    value = _int;
    return true;
}

bool Property::GetValue(float& value) const
{
    if (_type != PT_FLOAT)
        return false;
    value = _float;
    return true;
}

bool Property::GetValue(std::string& value) const
{
    if (_type != PT_STRING)
        return false;
    value = _string;
    return true;
}

bool Property::GetValue(std::wstring& value) const
{
    if (_type != PT_WSTRING)
        return false;
    value = _wstring;
    return true;
}

void Property::SetValue(int value)
{
    _type = PT_INT;
    _int = value;
}

void Property::SetValue(float value)
{
    _type = PT_FLOAT;
    _float = value;
}

void Property::SetValue(const char* value)
{
    _type = PT_STRING;
    _string = value ? value : "";
}

void Property::SetValue(const wchar_t* value)
{
    _type = PT_WSTRING;
    _wstring = value ? value : L"";
}

}  // namespace GameCore
