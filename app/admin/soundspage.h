#pragma once

#include "listpage.h"

#include <memory>

namespace tarvik::tasks {
class TfmMP;
}

namespace tarvik::admin {

class SoundPlayButton;

// "Звуки": the sounds reminders can play; a sound whose file is missing on
// this workstation is written in silver and cannot be played.
class SoundsPage : public ListPage
{
    Q_OBJECT
public:
    explicit SoundsPage(db::Query& sounds, QWidget* parent = nullptr);
    ~SoundsPage() override;

    // The program's sound player, once the login set it up.
    void setPlayer(tasks::TfmMP* player);

    void sbAddSoundClick();
    void sbEdSoundClick();
    void sbDelSoundClick();
    void sbPlayClick();

    [[nodiscard]] QToolButton* playButton() const { return m_sbPlay; }
    [[nodiscard]] SoundPlayButton* playing() const { return m_play.get(); }

private:
    void dsSoundsDataChange();
    // Shows the sound dialog until the row is stored or the user gives up.
    void editRow(const QString& title, bool adding);

    tasks::TfmMP* m_player = nullptr;
    std::unique_ptr<SoundPlayButton> m_play;
    QToolButton* m_sbPlay;
};

} // namespace tarvik::admin
