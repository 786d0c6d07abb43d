#include "game/Wrappers/AlphaPicture.h"

#include "engine/FileSystem/FileSystem.h"
#include "engine/System/EngineError.h"

namespace GameCore {

std::shared_ptr<FreeImageLibEx::Picture> LoadAlphaPicture(const std::string& name, const char* source)
{
    std::shared_ptr<EngineCore::CachedFile> file;
    auto picture = std::make_shared<FreeImageLibEx::Picture>();
    if (!EngineCore::FileSystem::Instance().GetFile(name, file) || !file || file->GetSize() <= 0 ||
        !picture->Load(file->GetData(), static_cast<unsigned long>(file->GetSize()), FIF_UNKNOWN))
        EngineCore::ThrowEngineErrorF(source, 1, "Resource (%s) creating error.", name.c_str());
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;
    if (!picture->GetInfo(width, height, bitsPerPixel))
        EngineCore::ThrowEngineErrorF(source, 2, "Resource (%s) content error.", name.c_str());
    if (bitsPerPixel < 8)
        picture->ConvertTo8();
    return picture;
}

AlphaPictureView ViewAlphaPicture(const FreeImageLibEx::Picture& picture, const std::string& name,
                                  const char* source)
{
    AlphaPictureView view;
    int bitsPerPixel = 0;
    unsigned char* bits = nullptr;
    if (!picture.GetInfo(view.width, view.height, bitsPerPixel) || !picture.GetPitch(view.pitch) ||
        bitsPerPixel != 8 || !picture.GetBits(bits) || !bits || view.width <= 0 || view.height <= 0 ||
        static_cast<uint64_t>(view.pitch) < static_cast<uint64_t>(view.width))
        EngineCore::ThrowEngineErrorF(source, 3, "Resource (%s) content error.", name.c_str());
    view.bits = bits;
    return view;
}

}  // namespace GameCore
