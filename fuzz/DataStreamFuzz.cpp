// Data streams (every typed read, at any position), file records read from a stream,
// and zlib data with a claimed full size.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include <fuzzer/FuzzedDataProvider.h>

#include "engine/FileSystem/DeflatePacker.h"
#include "engine/FileSystem/FileInfo.h"
#include "engine/FileSystem/InputDataStream.h"

namespace {

// A read either succeeds whole or leaves the position where it was.
template <typename T>
void CheckedRead(EngineCore::InputDataStream& in, int width)
{
    const int before = in.GetPosition();
    T value{};
    if (in >> value) {
        if (width >= 0 && in.GetPosition() != before + width)
            std::abort();
        if (in.GetPosition() > in.GetSize())
            std::abort();
    } else if (in.GetPosition() != before) {
        std::abort();
    }
}

void ReadStream(FuzzedDataProvider& input)
{
    const int operations = input.ConsumeIntegralInRange<int>(0, 32);
    std::string script = input.ConsumeBytesAsString(static_cast<size_t>(operations) * 5);
    const std::string body = input.ConsumeRemainingBytesAsString();
    EngineCore::InputDataStream in(body.data(), static_cast<int>(body.size()));
    for (size_t at = 0; at < script.size(); at += 5) {
        int32_t argument = 0;
        if (at + 5 <= script.size())
            std::memcpy(&argument, script.data() + at + 1, 4);
        switch (static_cast<unsigned char>(script[at]) % 14) {
        case 0: CheckedRead<unsigned char>(in, 1); break;
        case 1: CheckedRead<signed char>(in, 1); break;
        case 2: CheckedRead<unsigned short>(in, 2); break;
        case 3: CheckedRead<short>(in, 2); break;
        case 4: CheckedRead<unsigned int>(in, 4); break;
        case 5: CheckedRead<int>(in, 4); break;
        case 6: CheckedRead<double>(in, 8); break;
        case 7: CheckedRead<float>(in, 4); break;
        case 8: CheckedRead<bool>(in, 1); break;
        case 9: CheckedRead<std::string>(in, -1); break;
        case 10: CheckedRead<std::u16string>(in, -1); break;
        case 11: {
            const int count = argument % 4096;
            std::unique_ptr<unsigned char[]> target(new unsigned char[count > 0 ? count : 1]);
            const int before = in.GetPosition();
            if (!in.Read(target.get(), count) && in.GetPosition() != before)
                std::abort();
            break;
        }
        case 12: {
            // Positions anywhere, past either end included.
            in.Seek(argument);
            break;
        }
        case 13: {
            EngineCore::FileInfo info;
            info.Serialize(in);
            // Whatever the record held, the type is one the loaders know.
            const EngineCore::FileInfo::FileType type = info.GetType();
            if (type != EngineCore::FileInfo::TypeNone && type != EngineCore::FileInfo::TypeDisk &&
                type != EngineCore::FileInfo::TypePack)
                std::abort();
            break;
        }
        }
    }
}

void Inflate(FuzzedDataProvider& input)
{
    const uint32_t fullSize = input.ConsumeIntegral<uint32_t>();
    const std::string stored = input.ConsumeRemainingBytesAsString();
    std::unique_ptr<unsigned char[]> full(
        EngineCore::DeflatePacker::Decompress(stored.data(), static_cast<uint32_t>(stored.size()), fullSize));
    if (!full)
        return;
    unsigned sum = 0;
    for (uint32_t i = 0; i < fullSize; ++i)
        sum += full[i];
    // What came out goes back in and out again unchanged.
    uint32_t packedSize = fullSize;
    std::unique_ptr<unsigned char[]> packed(EngineCore::DeflatePacker::Compress(full.get(), packedSize));
    if (!packed)
        std::abort();
    std::unique_ptr<unsigned char[]> again(EngineCore::DeflatePacker::Decompress(packed.get(), packedSize, fullSize));
    if (!again || std::memcmp(again.get(), full.get(), fullSize) != 0)
        std::abort();
    (void)sum;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider input(data, size);
    if (input.ConsumeBool())
        ReadStream(input);
    else
        Inflate(input);
    return 0;
}
