#include "game/Logic/PropertySystem.h"

#include "game/Logic/Profile.h"
#include "game/Logic/ProfileSystem.h"
#include "game/Logic/SavedText.h"

namespace GameCore {

using Lock = std::lock_guard<std::recursive_mutex>;

PropertySystem& PropertySystem::Instance()
{
    static PropertySystem instance;
    return instance;
}

PropertySystem::PropertySystem() : _properties(new std::map<std::string, std::shared_ptr<Property>>) {}
PropertySystem::~PropertySystem() = default;

bool PropertySystem::AddProperty(const char* name, std::shared_ptr<Property>& out)
{
    if (!name || !*name)
        return false;
    std::shared_ptr<Property> created(new Property);
    {
        Lock lock(_mutex);
        (*_properties)[name] = created;
    }
    out = created;
    return true;
}

bool PropertySystem::FindProperty(const char* name, std::shared_ptr<Property>& out) const
{
    if (!name)
        return false;
    Lock lock(_mutex);
    const auto found = _properties->find(name);
    if (found == _properties->end())
        return false;
    out = found->second;
    return true;
}

bool PropertySystem::RemoveProperty(const char* name, std::shared_ptr<Property>& out)
{
    if (!name)
        return false;
    Lock lock(_mutex);
    const auto found = _properties->find(name);
    if (found == _properties->end())
        return false;
    out = found->second;
    _properties->erase(found);
    return true;
}

std::shared_ptr<Property> PropertySystem::GetPropertyByName(const std::string& name) const
{
    Lock lock(_mutex);
    const auto found = _properties->find(name);
    return found == _properties->end() ? std::shared_ptr<Property>() : found->second;
}

std::vector<std::string> PropertySystem::GetAllPropertyNames() const
{
    Lock lock(_mutex);
    std::vector<std::string> names;
    names.reserve(_properties->size());
    for (const auto& entry : *_properties)
        names.push_back(entry.first);
    return names;
}

void PropertySystem::Clear()
{
    std::map<std::string, std::shared_ptr<Property>> dropped;
    Lock lock(_mutex);
    dropped.swap(*_properties);
}

std::string PropertySystem::EntryText(const std::string& name, const Property& shared)
{
    const Property property = shared.Snapshot();
    const int type = property.GetType();
    std::string text = name + ":" + FormatSavedInt(type) + ":";
    int intValue = 0;
    float floatValue = 0.0f;
    std::string stringValue;
    if (property.GetValue(intValue))
        text += FormatSavedInt(intValue) + ":";
    else if (property.GetValue(floatValue))
        text += FormatSavedFloat(floatValue) + ":";
    else if (property.GetValue(stringValue))
        text += stringValue + ":";
    return text;
}

std::vector<std::string> PropertySystem::AllEntryTexts() const
{
    Lock lock(_mutex);
    std::vector<std::string> entries;
    entries.reserve(_properties->size());
    for (const auto& entry : *_properties)
        entries.push_back(EntryText(entry.first, *entry.second));
    return entries;
}

std::string PropertySystem::EntryName(const std::string& entry)
{
    return entry.substr(0, entry.find(':'));
}

std::vector<std::string> PropertySystem::MergeEntries(const std::vector<std::string>& stored,
                                                      const std::vector<std::string>& current)
{
    std::map<std::string, std::string> byName;
    for (const std::string& entry : current)
        byName.emplace(EntryName(entry), entry);
    for (const std::string& entry : stored)
        byName.emplace(EntryName(entry), entry);
    byName.erase(std::string());
    std::vector<std::string> merged;
    merged.reserve(byName.size());
    for (auto& named : byName)
        merged.push_back(std::move(named.second));
    return merged;
}

void PropertySystem::AddPropertyFromEntry(const std::string& entry)
{
    const std::vector<std::string> parts = Profile::StrToVec(entry, ":");
    if (parts.empty() || parts[0].empty())
        return;
    const std::string& name = parts[0];
    Lock lock(_mutex);
    if (_properties->count(name))
        return;
    std::shared_ptr<Property> property;
    AddProperty(name.c_str(), property);
    const int type = parts.size() > 1 ? ParseSavedInt(parts[1]) : 0;
    const std::string value = parts.size() > 2 ? parts[2] : std::string();
    switch (type) {
    case Property::PT_INT:
        property->SetValue(ParseSavedInt(value));
        break;
    case Property::PT_FLOAT:
        property->SetValue(ParseSavedFloat(value));
        break;
    case Property::PT_STRING:
        property->SetValue(value.c_str());
        break;
    default:
        break;
    }
}

void PropertySystem::AddPropertyFromSave()
{
    std::vector<std::string> entries;
    if (!ProfileSystem::Instance().SavedPropertiesToRestore(entries))
        return;
    for (const std::string& entry : entries)
        AddPropertyFromEntry(entry);
}

void PropertySystem::Update(float) {}

}  // namespace GameCore
