#include "game/Logic/ProfilesFile.h"

#include <climits>
#include <cstring>

#include "engine/FileSystem/InputDataStream.h"
#include "engine/FileSystem/OutputDataStream.h"

namespace GameCore {

const char kProfilesMagic[16] = "kT.profiles.bin";

ProfilesFileStatus DecodeProfilesFile(const void* data, size_t size, ProfilesFileContents& contents)
{
    contents = ProfilesFileContents();
    if (!data || size > static_cast<size_t>(INT_MAX))
        return ProfilesFileStatus::BadHeader;
    EngineCore::InputDataStream stream(data, static_cast<int>(size));

    // Compared as a C string: the 16th byte must be the NUL.
    char magic[17] = {};
    if (!stream.Read(magic, 16) || std::strcmp(magic, kProfilesMagic) != 0)
        return ProfilesFileStatus::BadHeader;
    unsigned int count = 0;
    short selected = 0;
    if (!(stream >> count) || !(stream >> selected) || count == 0)
        return ProfilesFileStatus::BadHeader;
    contents.selectedId = selected;

    for (unsigned int i = 0; i < count; ++i) {
        std::shared_ptr<Profile> profile = std::make_shared<Profile>();
        if (!profile->Read(stream))
            return ProfilesFileStatus::BadRecord;
        contents.profiles.push_back(profile);
    }
    contents.bytesAfterRecords = static_cast<size_t>(stream.GetSize() - stream.GetPosition());
    return ProfilesFileStatus::Ok;
}

std::vector<unsigned char> EncodeProfilesFile(const std::list<std::shared_ptr<Profile>>& profiles, int16_t selectedId,
                                              const std::vector<std::string>& propertyTexts)
{
    EngineCore::OutputDataStream stream;
    stream.Write(kProfilesMagic, 16);
    stream << static_cast<unsigned int>(profiles.size()) << static_cast<short>(selectedId);
    size_t index = 0;
    for (const std::shared_ptr<Profile>& profile : profiles) {
        profile->Write(stream, index < propertyTexts.size() ? propertyTexts[index] : std::string());
        ++index;
    }
    return std::vector<unsigned char>(stream.GetData(), stream.GetData() + stream.GetSize());
}

std::vector<unsigned char> EncodeProfilesFile(const std::list<std::shared_ptr<Profile>>& profiles, int16_t selectedId,
                                              const std::string& propertyText)
{
    return EncodeProfilesFile(profiles, selectedId, std::vector<std::string>(profiles.size(), propertyText));
}

}  // namespace GameCore
