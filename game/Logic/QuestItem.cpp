#include "game/Logic/QuestItem.h"

namespace GameCore {

namespace {
std::string Text(const char* text) { return text ? text : ""; }
}  // namespace

void QuestItem::SetName(const char* name) { _name = Text(name); }
void QuestItem::SetInventoryImage(const char* image) { _inventoryImage = Text(image); }
void QuestItem::SetDescriptionImage(const char* image) { _descriptionImage = Text(image); }
void QuestItem::SetInventoryImageAlpha(const char* image) { _inventoryImageAlpha = Text(image); }
void QuestItem::SetForSpellBook() { _forSpellBook = true; }

void QuestItem::SetStageLevel(int stage, int level)
{
    _stage = stage;
    _level = level;
}

}  // namespace GameCore
