#pragma once
// Puts an environment variable back as it was (set to its old value, or unset)
// when the guard goes, so a test may change it freely.
#include <cstdlib>
#include <string>

namespace TestSupport {

class EnvGuard {
public:
    explicit EnvGuard(const char* name) : _name(name)
    {
        const char* value = std::getenv(name);
        _had = value != nullptr;
        if (_had)
            _old = value;
    }
    ~EnvGuard() { _had ? setenv(_name, _old.c_str(), 1) : unsetenv(_name); }
    EnvGuard(const EnvGuard&) = delete;
    EnvGuard& operator=(const EnvGuard&) = delete;

private:
    const char* _name;
    bool _had = false;
    std::string _old;
};

}  // namespace TestSupport
