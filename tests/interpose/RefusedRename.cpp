#include "interpose/RefusedRename.h"

#include <cerrno>
#include <cstring>
#include <dlfcn.h>

namespace {

bool isRefused(const char* target)
{
    const char* slash = std::strrchr(target, '/');
    const char* name = slash != nullptr ? slash + 1 : target;
    return std::strncmp(name, kRefusedRenamePrefix, std::strlen(kRefusedRenamePrefix)) == 0;
}

template <typename Function>
Function next(const char* name)
{
    return reinterpret_cast<Function>(::dlsym(RTLD_NEXT, name));
}

} // namespace

extern "C" int rename(const char* from, const char* to)
{
    if (isRefused(to)) {
        errno = EIO;
        return -1;
    }
    static const auto real = next<int (*)(const char*, const char*)>("rename");
    return real(from, to);
}

extern "C" int renameat2(int fromFolder, const char* from, int toFolder, const char* to, unsigned int flags)
{
    if (isRefused(to)) {
        errno = EIO;
        return -1;
    }
    static const auto real = next<int (*)(int, const char*, int, const char*, unsigned int)>("renameat2");
    return real(fromFolder, from, toFolder, to, flags);
}
