#include "game/Logic/DialogManager.h"

#include <iterator>
#include <list>
#include <map>
#include <mutex>

namespace GameCore {

struct DialogManager::Impl {
    mutable std::mutex mutex;
    unsigned char minor = 0;
    unsigned char major = 0;
    mutable int cursor = 0;
    std::map<int, std::shared_ptr<std::list<std::string>>> dialogs;
    std::shared_ptr<std::list<std::string>> current;

    void Select()
    {
        cursor = 0;
        const int key = major * 255 + minor;
        std::shared_ptr<std::list<std::string>>& list = dialogs[key];
        if (!list)
            list = std::make_shared<std::list<std::string>>();
        current = list;
    }
};

using Lock = std::lock_guard<std::mutex>;

DialogManager& DialogManager::Instance()
{
    static DialogManager instance;
    return instance;
}

DialogManager::DialogManager() : _impl(new Impl) { _impl->Select(); }
DialogManager::~DialogManager() = default;

void DialogManager::SetCurrentDialog(unsigned char major, unsigned char minor)
{
    Lock lock(_impl->mutex);
    _impl->major = major;
    _impl->minor = minor;
    _impl->Select();
}

unsigned char DialogManager::GetMajor() const
{
    Lock lock(_impl->mutex);
    return _impl->major;
}

unsigned char DialogManager::GetMinor() const
{
    Lock lock(_impl->mutex);
    return _impl->minor;
}

bool DialogManager::HasCurrentDialog() const
{
    Lock lock(_impl->mutex);
    return static_cast<bool>(_impl->current);
}

void DialogManager::SetDialogTaskMessage(const char* text)
{
    Lock lock(_impl->mutex);
    if (_impl->current && text)
        _impl->current->push_front(text);
}

void DialogManager::SetNextDialogMessage(const char* text)
{
    Lock lock(_impl->mutex);
    if (_impl->current && text)
        _impl->current->push_back(text);
}

bool DialogManager::GetDialogTaskMessage(std::string& out) const
{
    Lock lock(_impl->mutex);
    if (!_impl->current || _impl->current->empty())
        return false;
    out = _impl->current->front();
    return true;
}

bool DialogManager::GetNextDialogMessage(std::string& out) const
{
    Lock lock(_impl->mutex);
    if (!_impl->current)
        return false;
    const std::list<std::string>& list = *_impl->current;
    const size_t position = static_cast<size_t>(_impl->cursor) + 1;
    if (list.size() < position + 1)
        return false;
    out = *std::next(list.begin(), static_cast<std::ptrdiff_t>(position));
    ++_impl->cursor;
    return true;
}

void DialogManager::Clear()
{
    Lock lock(_impl->mutex);
    _impl->major = 0;
    _impl->minor = 0;
    _impl->cursor = 0;
    _impl->dialogs.clear();
    _impl->current.reset();
}

}  // namespace GameCore
