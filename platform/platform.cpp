#include "platform.h"

#include "qtplatform.h"

#include <utility>

namespace tarvik {

namespace {
Platform* g_installed = nullptr;
}

Platform::~Platform() = default;

Platform& platform()
{
    if (g_installed)
        return *g_installed;
    // Created on first use, after the QApplication exists.
    static QtPlatform qtPlatform;
    return qtPlatform;
}

Platform* setPlatform(Platform* p)
{
    return std::exchange(g_installed, p);
}

} // namespace tarvik
