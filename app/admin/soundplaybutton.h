#pragma once

#include <QString>

namespace tarvik::tasks {
class TfmMP;
}

namespace tarvik::admin {

// The playing mark of a play/stop button: every press flips it; a press
// that sets it plays the file (or says why it cannot), a press that clears
// it stops. Without sound playback the button does nothing at all.
class SoundPlayButton
{
public:
    explicit SoundPlayButton(tasks::TfmMP& player) : m_player(player) {}

    void press(const QString& path);
    void clearMark() { m_playing = false; }
    [[nodiscard]] bool playing() const { return m_playing; }

private:
    tasks::TfmMP& m_player;
    bool m_playing = false;
};

} // namespace tarvik::admin
