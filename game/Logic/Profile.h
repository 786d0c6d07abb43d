#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace EngineCore {
class InputDataStream;
class OutputDataStream;
}  // namespace EngineCore

namespace GameCore {

// One player's record of the profiles file. The quest items mirror the inventory;
// the saved properties are the entries read from the file, restored only when a
// script asks (PropertySystem::AddPropertyFromSave).
struct Profile {
    std::string name;
    std::string levelScript;
    std::vector<std::string> questItems;
    std::vector<std::string> savedProperties;
    float soundVolume = 0.5f;
    float musicVolume = 0.5f;
    bool windowed = false;
    bool systemCursor = false;
    bool stretch = false;
    int16_t id = -1;
    int32_t totalScores = 0;
    uint8_t completedStages = 0;
    uint8_t lastSelectedStage = 1;
    // Not stored: the saved properties have been handed out to be restored in this run,
    // so the current property set stands for them (ProfileSystem::Save). Guarded by the
    // profile system's lock.
    bool propertiesRestored = false;

    // Reads one record. False as soon as one of the fixed fields (id to level script)
    // is missing, with the fields read so far changed; the item and property texts
    // read as empty when the data ends before them.
    bool Read(EngineCore::InputDataStream& stream);
    // Writes one record with `propertyText` as its property field.
    void Write(EngineCore::OutputDataStream& stream, const std::string& propertyText) const;

    // The record's stream operators point the way data flows into the profile:
    // `<<` reads from the stream, `>>` writes the record (with the property system's
    // current contents) to it.
    bool operator<<(EngineCore::InputDataStream& stream);
    bool operator>>(EngineCore::OutputDataStream& stream) const;

    // Appends when absent; false when the name is already there.
    bool AddQuestItem(const std::string& item);
    // Removes the first equal name; false when there is none.
    bool RemoveQuestItem(const std::string& item);

    // One entry per property of the property system, in name order.
    static std::vector<std::string> CollectAllProperty();
    // Every element followed by ",".
    static std::string VecToStr(const std::vector<std::string>& items);
    // Splits at every delimiter character; empty pieces are kept, except that a
    // final delimiter adds none and an empty text gives no element.
    static std::vector<std::string> StrToVec(const std::string& text, const std::string& delimiters);
};

}  // namespace GameCore
