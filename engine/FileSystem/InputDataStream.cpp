#include "engine/FileSystem/InputDataStream.h"

#include <cstring>

namespace EngineCore {

InputDataStream::InputDataStream(const void* data, int size)
{
    SetData(data, size);
}

void InputDataStream::SetData(const void* data, int size)
{
    _data = static_cast<const unsigned char*>(data);
    _size = (data && size > 0) ? size : 0;
    _position = 0;
}

void InputDataStream::Clear()
{
    _data = nullptr;
    _size = 0;
    _position = 0;
}

bool InputDataStream::Has(int count) const
{
    // 64-bit arithmetic: a position or count near INT_MAX must not wrap.
    return count >= 0 && _position >= 0 &&
           static_cast<long long>(_position) + count <= static_cast<long long>(_size);
}

bool InputDataStream::ReadRaw(void* destination, int width)
{
    if (!Has(width))
        return false;
    if (width > 0)
        std::memcpy(destination, _data + _position, static_cast<size_t>(width));
    _position += width;
    return true;
}

bool InputDataStream::Read(void* destination, int count)
{
    return ReadRaw(destination, count);
}

namespace {
// The encoding is little-endian and the only targets are little-endian hosts.
static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "little-endian host expected");
}  // namespace

bool InputDataStream::operator>>(unsigned char& value) { return ReadRaw(&value, 1); }
bool InputDataStream::operator>>(signed char& value) { return ReadRaw(&value, 1); }
bool InputDataStream::operator>>(unsigned short& value) { return ReadRaw(&value, 2); }
bool InputDataStream::operator>>(short& value) { return ReadRaw(&value, 2); }
bool InputDataStream::operator>>(unsigned int& value) { return ReadRaw(&value, 4); }
bool InputDataStream::operator>>(int& value) { return ReadRaw(&value, 4); }
bool InputDataStream::operator>>(double& value) { return ReadRaw(&value, 8); }
bool InputDataStream::operator>>(float& value) { return ReadRaw(&value, 4); }

bool InputDataStream::operator>>(bool& value)
{
    unsigned char byte = 0;
    if (!ReadRaw(&byte, 1))
        return false;
    value = byte != 0;
    return true;
}

bool InputDataStream::TakeStringBody(const unsigned char*& body, int& length)
{
    if (!Has(4))
        return false;
    int count = 0;
    std::memcpy(&count, _data + _position, 4);
    if (count < 0)
        return false;
    _position += 4;
    if (!Has(count)) {
        _position -= 4;
        return false;
    }
    body = _data + _position;
    length = count;
    _position += count;
    return true;
}

bool InputDataStream::operator>>(std::string& value)
{
    const unsigned char* body = nullptr;
    int length = 0;
    if (!TakeStringBody(body, length))
        return false;
    // The text ends at its first NUL and never runs past the counted body.
    const void* nul = length > 0 ? std::memchr(body, 0, static_cast<size_t>(length)) : nullptr;
    const size_t textLength = nul ? static_cast<size_t>(static_cast<const unsigned char*>(nul) - body)
                                  : static_cast<size_t>(length);
    value.assign(reinterpret_cast<const char*>(body), textLength);
    return true;
}

bool InputDataStream::operator>>(std::u16string& value)
{
    const unsigned char* body = nullptr;
    int length = 0;
    if (!TakeStringBody(body, length))
        return false;
    // An odd count leaves a trailing half unit, which is skipped with the body.
    const int units = length / 2;
    std::u16string text;
    for (int i = 0; i < units; ++i) {
        const char16_t unit = static_cast<char16_t>(body[2 * i] | (body[2 * i + 1] << 8));
        if (unit == 0)
            break;
        text.push_back(unit);
    }
    value.swap(text);
    return true;
}

}  // namespace EngineCore
