#include "engine/Renderer/Texture.h"

#include <algorithm>
#include <cstring>

#include "engine/Renderer/TextureBlur.h"

namespace EngineCore {

Texture::Texture()
{
    SetType(RT_TEXTURE);
}

Texture::Texture(const Texture& other) = default;

Texture& Texture::operator=(const Texture& other) = default;

Texture::~Texture() = default;

bool Texture::IsValid() const
{
    return true;
}

void Texture::Unlock()
{
    _locked = false;
}

bool Texture::Lock(unsigned, unsigned, unsigned, unsigned, bool, uint32_t*&)
{
    _locked = true;
    return true;
}

bool Texture::DirectAccess(unsigned char*)
{
    return true;
}

void Texture::SetSize(unsigned width, unsigned height)
{
    _width = width;
    _height = height;
}

bool Texture::MakeBlur(unsigned passes, unsigned rows)
{
    uint32_t* pixels = nullptr;
    if (!Lock(0, 0, _width, _height, false, pixels)) {
        return false;
    }
    if (pixels != nullptr) {
        BlurTopRows(pixels, _width, std::min(rows, _height), passes);
    }
    Unlock();
    return true;
}

void Texture::BlurRow(const uint32_t* const pixels, int count, std::vector<unsigned char>& out)
{
    if (count < 1) {
        return;
    }
    std::vector<float> scratch(BlurLineScratchSize(count));
    std::vector<uint32_t> line(static_cast<size_t>(count));
    BlurLine(pixels, count, line.data(), scratch.data());
    std::memcpy(out.data(), line.data(), line.size() * sizeof(uint32_t));
}

void Texture::GetKernelIndeces(int centre, int count, std::vector<int>& out)
{
    for (int j = 0; j < 13; ++j) {
        out[j] = std::clamp(centre - 6 + j, 0, count - 1);
    }
}

}  // namespace EngineCore
