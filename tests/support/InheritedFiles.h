#pragma once
// Which files a program started now would inherit. Include this in one source file of a
// test program, and only in a program of its own: it takes the place of the C library's
// fopen and open for the whole program (the C++ streams open through them too), and while
// a watch is on, notes every file opened without close-on-exec.
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <cstdarg>
#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

namespace TestSupport {

class InheritedFiles {
public:
    InheritedFiles() { Set(true); }
    ~InheritedFiles() { Set(false); }
    InheritedFiles(const InheritedFiles&) = delete;
    InheritedFiles& operator=(const InheritedFiles&) = delete;

    // The files opened since the watch began that a started program would inherit.
    std::vector<std::string> Paths() const
    {
        std::lock_guard<std::mutex> lock(State().mutex);
        return State().paths;
    }

    static void Note(int fd, const char* path)
    {
        if (fd < 0)
            return;
        std::lock_guard<std::mutex> lock(State().mutex);
        const int flags = fcntl(fd, F_GETFD);
        if (State().watching && flags >= 0 && !(flags & FD_CLOEXEC))
            State().paths.push_back(path ? path : "?");
    }

private:
    struct Shared {
        std::mutex mutex;
        bool watching = false;
        std::vector<std::string> paths;
    };
    static Shared& State()
    {
        static Shared shared;
        return shared;
    }
    static void Set(bool on)
    {
        std::lock_guard<std::mutex> lock(State().mutex);
        State().watching = on;
        State().paths.clear();
    }
};

template <typename Function>
Function Real(const char* name)
{
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

}  // namespace TestSupport

extern "C" {

FILE* fopen(const char* __restrict path, const char* __restrict mode)
{
    static const auto real = TestSupport::Real<FILE* (*)(const char*, const char*)>("fopen");
    FILE* file = real(path, mode);
    if (file)
        TestSupport::InheritedFiles::Note(fileno(file), path);
    return file;
}

FILE* fopen64(const char* __restrict path, const char* __restrict mode)
{
    static const auto real = TestSupport::Real<FILE* (*)(const char*, const char*)>("fopen64");
    FILE* file = real(path, mode);
    if (file)
        TestSupport::InheritedFiles::Note(fileno(file), path);
    return file;
}

int open(const char* path, int flags, ...)
{
    static const auto real = TestSupport::Real<int (*)(const char*, int, ...)>("open");
    mode_t mode = 0;
    if (flags & (O_CREAT | O_TMPFILE)) {
        va_list arguments;
        va_start(arguments, flags);
        mode = mode_t(va_arg(arguments, int));
        va_end(arguments);
    }
    const int fd = real(path, flags, mode);
    TestSupport::InheritedFiles::Note(fd, path);
    return fd;
}

int open64(const char* path, int flags, ...)
{
    static const auto real = TestSupport::Real<int (*)(const char*, int, ...)>("open64");
    mode_t mode = 0;
    if (flags & (O_CREAT | O_TMPFILE)) {
        va_list arguments;
        va_start(arguments, flags);
        mode = mode_t(va_arg(arguments, int));
        va_end(arguments);
    }
    const int fd = real(path, flags, mode);
    TestSupport::InheritedFiles::Note(fd, path);
    return fd;
}

}  // extern "C"
