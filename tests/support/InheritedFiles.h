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

// The C library's `fopen` or `fopen64`, the file noted.
inline FILE* OpenStream(const char* symbol, const char* path, const char* mode)
{
    using Open = FILE* (*)(const char*, const char*);
    FILE* file = Real<Open>(symbol)(path, mode);
    if (file)
        InheritedFiles::Note(fileno(file), path);
    return file;
}

// The C library's `open` or `open64`, the descriptor noted. `mode` counts only when the
// flags create a file.
inline int OpenDescriptor(const char* symbol, const char* path, int flags, va_list arguments)
{
    using Open = int (*)(const char*, int, ...);
    const mode_t mode = (flags & (O_CREAT | O_TMPFILE)) ? mode_t(va_arg(arguments, int)) : 0;
    const int fd = Real<Open>(symbol)(path, flags, mode);
    InheritedFiles::Note(fd, path);
    return fd;
}

}  // namespace TestSupport

extern "C" {

FILE* fopen(const char* __restrict path, const char* __restrict mode)
{
    return TestSupport::OpenStream("fopen", path, mode);
}

FILE* fopen64(const char* __restrict path, const char* __restrict mode)
{
    return TestSupport::OpenStream("fopen64", path, mode);
}

int open(const char* path, int flags, ...)
{
    va_list arguments;
    va_start(arguments, flags);
    const int fd = TestSupport::OpenDescriptor("open", path, flags, arguments);
    va_end(arguments);
    return fd;
}

int open64(const char* path, int flags, ...)
{
    va_list arguments;
    va_start(arguments, flags);
    const int fd = TestSupport::OpenDescriptor("open64", path, flags, arguments);
    va_end(arguments);
    return fd;
}

}  // extern "C"
