#pragma once
#include <string>

namespace GameCore {

class QuestItemStorage;

// A named object the player collects: its images, stage and level, and whether it
// belongs to the spell book. Made by QuestItemStorage and shared with its holders.
class QuestItem {
public:
    QuestItem(const QuestItem&) = default;
    QuestItem& operator=(const QuestItem&) = default;
    virtual ~QuestItem() = default;

    virtual void SetName(const char* name);
    virtual void SetInventoryImage(const char* image);
    virtual void SetDescriptionImage(const char* image);
    virtual void SetInventoryImageAlpha(const char* image);
    // Nothing clears the flag once set.
    virtual void SetForSpellBook();
    virtual void SetStageLevel(int stage, int level);

    const char* GetName() const { return _name.c_str(); }
    const char* GetInventoryImage() const { return _inventoryImage.c_str(); }
    const char* GetDescriptionImage() const { return _descriptionImage.c_str(); }
    const char* GetInventoryImageAlpha() const { return _inventoryImageAlpha.c_str(); }
    int GetStage() const { return _stage; }
    int GetLevel() const { return _level; }
    bool IsForSpellBook() const { return _forSpellBook; }

protected:
    friend class QuestItemStorage;
    QuestItem() = default;

private:
    int _stage = 1;
    int _level = 1;
    bool _forSpellBook = false;
    std::string _name = "Unknown";
    std::string _inventoryImage;
    std::string _descriptionImage;
    std::string _inventoryImageAlpha;
};

}  // namespace GameCore
