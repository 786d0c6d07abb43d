#include "game/Logic/Profile.h"

#include <algorithm>

#include "engine/FileSystem/InputDataStream.h"
#include "engine/FileSystem/OutputDataStream.h"
#include "game/Logic/PropertySystem.h"

namespace GameCore {

namespace {

// A flag byte: any non-zero value is true (never copied into a bool as it is).
bool ReadFlag(EngineCore::InputDataStream& stream, bool& flag)
{
    unsigned char byte = 0;
    if (!(stream >> byte))
        return false;
    flag = byte != 0;
    return true;
}

}  // namespace

bool Profile::Read(EngineCore::InputDataStream& stream)
{
    short readId = 0;
    int scores = 0;
    if (!(stream >> readId))
        return false;
    id = readId;
    if (!(stream >> name) || !(stream >> soundVolume) || !(stream >> musicVolume))
        return false;
    if (!ReadFlag(stream, windowed) || !ReadFlag(stream, systemCursor) || !ReadFlag(stream, stretch))
        return false;
    if (!(stream >> scores))
        return false;
    totalScores = scores;
    if (!(stream >> completedStages) || !(stream >> lastSelectedStage) || !(stream >> levelScript))
        return false;

    std::string items;
    std::string properties;
    stream >> items;
    stream >> properties;
    questItems = StrToVec(items, ",");
    savedProperties = StrToVec(properties, ",");
    return true;
}

void Profile::Write(EngineCore::OutputDataStream& stream, const std::string& propertyText) const
{
    stream << static_cast<short>(id) << name.c_str() << soundVolume << musicVolume;
    stream << static_cast<unsigned char>(windowed ? 1 : 0) << static_cast<unsigned char>(systemCursor ? 1 : 0)
           << static_cast<unsigned char>(stretch ? 1 : 0);
    stream << static_cast<int>(totalScores) << completedStages << lastSelectedStage << levelScript.c_str();
    stream << VecToStr(questItems).c_str() << propertyText.c_str();
}

bool Profile::operator<<(EngineCore::InputDataStream& stream)
{
    return Read(stream);
}

bool Profile::operator>>(EngineCore::OutputDataStream& stream) const
{
    Write(stream, VecToStr(CollectAllProperty()));
    return true;
}

bool Profile::AddQuestItem(const std::string& item)
{
    if (std::find(questItems.begin(), questItems.end(), item) != questItems.end())
        return false;
    questItems.push_back(item);
    return true;
}

bool Profile::RemoveQuestItem(const std::string& item)
{
    const auto found = std::find(questItems.begin(), questItems.end(), item);
    if (found == questItems.end())
        return false;
    questItems.erase(found);
    return true;
}

std::vector<std::string> Profile::CollectAllProperty()
{
    return PropertySystem::Instance().AllEntryTexts();
}

std::string Profile::VecToStr(const std::vector<std::string>& items)
{
    std::string text;
    for (const std::string& item : items)
        text += item + ",";
    return text;
}

std::vector<std::string> Profile::StrToVec(const std::string& text, const std::string& delimiters)
{
    std::vector<std::string> pieces;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find_first_of(delimiters, start);
        if (end == std::string::npos) {
            pieces.push_back(text.substr(start));
            break;
        }
        pieces.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return pieces;
}

}  // namespace GameCore
