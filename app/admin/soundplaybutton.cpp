#include "soundplaybutton.h"

#include "platform.h"
#include "tfmmp.h"

namespace tarvik::admin {

void SoundPlayButton::press(const QString& path)
{
    if (!m_player.soundAvailable())
        return;
    if (m_playing) {
        m_playing = false;
        m_player.stop();
        return;
    }
    m_playing = true;
    if (!platform().fileExists(path))
        platform().notice(QStringLiteral("Ошибка! Указынный файл не существует."));
    else if (!m_player.play(path))
        platform().notice(QStringLiteral("Ошибка! Невозможно воспроизвести указанный файл."));
}

} // namespace tarvik::admin
