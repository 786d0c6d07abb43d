#pragma once
#include <mutex>
#include <string>

namespace GameCore {

class PropertySystem;

// One typed value of the property system. Only the member of the current type is
// meaningful: a SetValue changes the type and its own member and leaves the others,
// which no typed GetValue can then read. Every read and write holds the property
// system's lock: the loader thread and the main thread set the same properties while a
// save on either thread reads them all.
class Property {
public:
    enum PropertyType { PT_NONE = 0, PT_INT = 1, PT_FLOAT = 2, PT_STRING = 3, PT_WSTRING = 4 };

    Property(const Property&) = default;
    Property& operator=(const Property&) = default;
    ~Property() = default;

    PropertyType GetType() const;
    // A copy whose type and value belong together, whatever other threads set meanwhile.
    Property Snapshot() const;

    // Each succeeds only for its own type and leaves `value` untouched otherwise.
    bool GetValue(int& value) const;
    bool GetValue(float& value) const;
    bool GetValue(std::string& value) const;
    bool GetValue(std::wstring& value) const;

    void SetValue(int value);
    void SetValue(float value);
    void SetValue(const char* value);
    void SetValue(const wchar_t* value);

protected:
    friend class PropertySystem;
    Property() = default;

private:
    // The property system's lock.
    static std::recursive_mutex& ValueLock();

    PropertyType _type = PT_NONE;
    int _int = 0;
    float _float = 0.0f;
    std::string _string;
    std::wstring _wstring;
};

}  // namespace GameCore
