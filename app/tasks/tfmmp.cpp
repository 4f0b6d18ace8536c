#include "tfmmp.h"

#include "platform.h"

namespace tarvik::tasks {

TfmMP::TfmMP(QObject* parent) : QObject(parent)
{
    setObjectName(QStringLiteral("fmMP"));
}

bool TfmMP::setUp()
{
    m_available = platform().soundAvailable();
    return m_available;
}

bool TfmMP::play(const QString& path)
{
    if (!m_available)
        return false;
    platform().stopSound();
    return platform().playSound(path);
}

void TfmMP::stop()
{
    if (m_available)
        platform().stopSound();
}

} // namespace tarvik::tasks
