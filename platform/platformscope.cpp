#include "platformscope.h"

#include "platform.h"

namespace tarvik {

PlatformScope::PlatformScope(Platform& p) : m_previous(setPlatform(&p)) {}

PlatformScope::~PlatformScope()
{
    setPlatform(m_previous);
}

} // namespace tarvik
