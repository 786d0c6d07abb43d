#pragma once
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "game/Logic/Property.h"

namespace GameCore {

class Application;

// The game's named, typed values, ordered by the byte order of their names. They
// reach the profiles file as text (every save writes all of them) and come back
// from the selected profile only when a script asks (AddPropertyFromSave).
//
// The map and every property's value are guarded by one lock: the loader thread (a
// state's entry scripts) and the main thread may both reach them. Properties handed
// out are shared, not copied. A thread that holds the profile system's lock may take
// this one, never the other way round (a save holds the first and reads through this).
class PropertySystem {
public:
    static PropertySystem& Instance();
    ~PropertySystem();
    PropertySystem(const PropertySystem&) = delete;
    PropertySystem& operator=(const PropertySystem&) = delete;

    // False for a null or empty name (out untouched). Otherwise a fresh property of
    // type none replaces any of that name; holders of the old one keep it.
    bool AddProperty(const char* name, std::shared_ptr<Property>& out);
    bool FindProperty(const char* name, std::shared_ptr<Property>& out) const;
    bool RemoveProperty(const char* name, std::shared_ptr<Property>& out);
    std::shared_ptr<Property> GetPropertyByName(const std::string& name) const;
    std::vector<std::string> GetAllPropertyNames() const;
    void Clear();
    // Adds the selected profile's saved entries whose names are not properties yet,
    // and marks that profile's properties as restored.
    void AddPropertyFromSave();

    // The saved text of one property: "name:type:" and, for int, float and string,
    // the value and a further ':' (float as "%.4f", independent of the locale).
    static std::string EntryText(const std::string& name, const Property& property);
    // The saved text of every property, in name order, all read under one hold of the
    // lock: a save writes one consistent state.
    std::vector<std::string> AllEntryTexts() const;
    // Restores one saved entry unless its name exists; an entry with an empty name
    // is skipped, and a missing value reads as 0, 0.0 or "".
    void AddPropertyFromEntry(const std::string& entry);
    // The name an entry is stored under (its text up to the first ':').
    static std::string EntryName(const std::string& entry);
    // `stored` with `current` merged over it, in name order: a name in both keeps the
    // current entry, and of stored entries sharing a name the first stands, as it would
    // on a restore. Entries with an empty name, which no restore reads, are dropped.
    static std::vector<std::string> MergeEntries(const std::vector<std::string>& stored,
                                                 const std::vector<std::string>& current);

protected:
    friend class Application;
    friend class Property;
    void Update(float dt);

private:
    PropertySystem();
    mutable std::recursive_mutex _mutex;
    std::unique_ptr<std::map<std::string, std::shared_ptr<Property>>> _properties;
};

}  // namespace GameCore
