#include "engine/FileSystem/OutputDataStream.h"

#include <climits>
#include <cstring>
#include <new>

namespace EngineCore {

namespace {
constexpr int kInitialCapacity = 4096;
}

OutputDataStream::OutputDataStream()
    : _length(0), _capacity(kInitialCapacity), _buffer(new unsigned char[kInitialCapacity])
{
}

OutputDataStream::~OutputDataStream()
{
    delete[] _buffer;
}

void OutputDataStream::UpdateStorageSize(int needed)
{
    if (needed <= _capacity)
        return;
    long long capacity = _capacity > 0 ? _capacity : kInitialCapacity;
    while (capacity <= needed)
        capacity *= 2;
    if (capacity > INT_MAX)
        throw std::bad_alloc();
    unsigned char* grown = new unsigned char[static_cast<size_t>(capacity)];
    if (_length > 0)
        std::memcpy(grown, _buffer, static_cast<size_t>(_length));
    delete[] _buffer;
    _buffer = grown;
    _capacity = static_cast<int>(capacity);
}

void OutputDataStream::Reserve(long long needed)
{
    if (needed > INT_MAX)
        throw std::bad_alloc();
    UpdateStorageSize(static_cast<int>(needed));
}

void OutputDataStream::Append(const void* source, int count)
{
    if (count <= 0)
        return;
    Reserve(static_cast<long long>(_length) + count);
    std::memcpy(_buffer + _length, source, static_cast<size_t>(count));
    _length += count;
}

void OutputDataStream::Write(const void* source, int count)
{
    if (!source)
        return;
    Append(source, count);
}

OutputDataStream& OutputDataStream::operator<<(unsigned char value) { Append(&value, 1); return *this; }
OutputDataStream& OutputDataStream::operator<<(signed char value) { Append(&value, 1); return *this; }
OutputDataStream& OutputDataStream::operator<<(unsigned short value) { Append(&value, 2); return *this; }
OutputDataStream& OutputDataStream::operator<<(short value) { Append(&value, 2); return *this; }
OutputDataStream& OutputDataStream::operator<<(unsigned int value) { Append(&value, 4); return *this; }
OutputDataStream& OutputDataStream::operator<<(int value) { Append(&value, 4); return *this; }
OutputDataStream& OutputDataStream::operator<<(double value) { Append(&value, 8); return *this; }
OutputDataStream& OutputDataStream::operator<<(float value) { Append(&value, 4); return *this; }

OutputDataStream& OutputDataStream::operator<<(bool value)
{
    const unsigned char byte = value ? 1 : 0;
    Append(&byte, 1);
    return *this;
}

OutputDataStream& OutputDataStream::operator<<(const char* text)
{
    const size_t length = text ? std::strlen(text) : 0;
    if (length >= static_cast<size_t>(INT_MAX) - 8)
        throw std::bad_alloc();
    const int count = static_cast<int>(length) + 1;
    Reserve(static_cast<long long>(_length) + 4 + count);
    Append(&count, 4);
    Append(text ? text : "", static_cast<int>(length));
    const unsigned char nul = 0;
    Append(&nul, 1);
    return *this;
}

OutputDataStream& OutputDataStream::operator<<(const char16_t* text)
{
    size_t units = 0;
    if (text)
        while (text[units] != 0)
            ++units;
    if (units >= static_cast<size_t>(INT_MAX / 2) - 8)
        throw std::bad_alloc();
    const int count = static_cast<int>(units) * 2 + 2;
    Reserve(static_cast<long long>(_length) + 4 + count);
    Append(&count, 4);
    for (size_t i = 0; i < units; ++i) {
        const unsigned char bytes[2] = {static_cast<unsigned char>(text[i] & 0xFF),
                                        static_cast<unsigned char>(text[i] >> 8)};
        Append(bytes, 2);
    }
    const unsigned char nul[2] = {0, 0};
    Append(nul, 2);
    return *this;
}

}  // namespace EngineCore
