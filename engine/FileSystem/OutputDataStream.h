#pragma once
#include <string>

namespace EngineCore {

// Appends little-endian values to a buffer it owns (4096 bytes at first, doubled
// as needed). Encoding as InputDataStream reads it.
class OutputDataStream {
public:
    OutputDataStream();
    virtual ~OutputDataStream();
    OutputDataStream(const OutputDataStream&) = delete;
    OutputDataStream& operator=(const OutputDataStream&) = delete;

    virtual OutputDataStream& operator<<(unsigned char value);
    virtual OutputDataStream& operator<<(signed char value);
    // Count 2 * (n + 1), then the UTF-16LE units and a 16-bit NUL. Null writes "".
    virtual OutputDataStream& operator<<(const char16_t* text);
    // Count n + 1, then the bytes and a NUL. Null writes "".
    virtual OutputDataStream& operator<<(const char* text);
    virtual OutputDataStream& operator<<(unsigned short value);
    virtual OutputDataStream& operator<<(short value);
    virtual OutputDataStream& operator<<(unsigned int value);
    virtual OutputDataStream& operator<<(int value);
    virtual OutputDataStream& operator<<(double value);
    virtual OutputDataStream& operator<<(float value);
    virtual OutputDataStream& operator<<(bool value);

    void Write(const void* source, int count);

    const unsigned char* GetData() const { return _buffer; }
    int GetSize() const { return _length; }
    int GetCapacity() const { return _capacity; }
    void Clear() { _length = 0; }

protected:
    void UpdateStorageSize(int needed);

private:
    // UpdateStorageSize for a total that may pass the largest int (bad_alloc then).
    void Reserve(long long needed);
    void Append(const void* source, int count);

    int _length = 0;
    int _capacity = 0;
    unsigned char* _buffer = nullptr;
};

}  // namespace EngineCore
