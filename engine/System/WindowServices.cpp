#include "engine/System/WindowServices.h"

#include <mutex>

namespace EngineCore {

// Scripts of a loading state run on the loader thread; the window closes on the main one.
struct WindowServices::Impl {
    mutable std::mutex mutex;
    Functions functions;
};

WindowServices& WindowServices::Instance()
{
    static WindowServices instance;
    return instance;
}

WindowServices::WindowServices() : _impl(new Impl) {}

WindowServices::~WindowServices() = default;

void WindowServices::Install(const Functions& functions)
{
    std::lock_guard<std::mutex> lock(_impl->mutex);
    _impl->functions = functions;
}

WindowServices::Functions WindowServices::Current() const
{
    std::lock_guard<std::mutex> lock(_impl->mutex);
    return _impl->functions;
}

std::string WindowServices::GetTitle() const
{
    const Functions f = Current();
    return f.getTitle ? f.getTitle() : std::string();
}

void WindowServices::SetTitle(const std::string& title)
{
    const Functions f = Current();
    if (f.setTitle)
        f.setTitle(title);
}

void WindowServices::Minimize()
{
    const Functions f = Current();
    if (f.minimize)
        f.minimize();
}

bool WindowServices::OpenWebLink(const std::string& link)
{
    const Functions f = Current();
    return f.openWebLink && f.openWebLink(link);
}

}  // namespace EngineCore
