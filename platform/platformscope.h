#pragma once

namespace tarvik {

class Platform;

// Installs a platform for the lifetime of the scope and puts the previous
// one back, so a test's scripted platform never outlives the test.
class PlatformScope
{
public:
    explicit PlatformScope(Platform& p);
    ~PlatformScope();
    PlatformScope(const PlatformScope&) = delete;
    PlatformScope& operator=(const PlatformScope&) = delete;

private:
    Platform* m_previous;
};

} // namespace tarvik
