#pragma once
#include <string>

namespace EngineCore {

// Reads little-endian values from a buffer owned by someone else. Every read
// either succeeds whole or leaves both the target and the position untouched.
// Strings are a signed 32-bit byte count L (including the terminator) and L bytes;
// wide strings are UTF-16LE code units.
class InputDataStream {
public:
    InputDataStream() = default;
    InputDataStream(const void* data, int size);
    virtual ~InputDataStream() = default;
    InputDataStream(const InputDataStream&) = default;
    InputDataStream& operator=(const InputDataStream&) = default;

    void SetData(const void* data, int size);
    void Seek(int position) { _position = position; }
    void Clear();

    int GetPosition() const { return _position; }
    int GetSize() const { return _size; }
    const unsigned char* GetData() const { return _data; }

    virtual bool operator>>(unsigned char& value);
    virtual bool operator>>(signed char& value);
    virtual bool operator>>(std::u16string& value);
    virtual bool operator>>(std::string& value);
    virtual bool operator>>(unsigned short& value);
    virtual bool operator>>(short& value);
    virtual bool operator>>(unsigned int& value);
    virtual bool operator>>(int& value);
    virtual bool operator>>(double& value);
    virtual bool operator>>(float& value);
    virtual bool operator>>(bool& value);

    // Copies count raw bytes; nothing is copied when fewer remain.
    bool Read(void* destination, int count);

private:
    bool Has(int count) const;
    bool ReadRaw(void* destination, int width);
    // Validates a string's count; on success returns the body and advances past it.
    bool TakeStringBody(const unsigned char*& body, int& length);

    int _position = 0;
    int _size = 0;
    const unsigned char* _data = nullptr;
};

}  // namespace EngineCore
