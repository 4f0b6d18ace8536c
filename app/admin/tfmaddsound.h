#pragma once

#include <QDialog>

#include <memory>

class QLineEdit;
class QToolButton;

namespace tarvik::tasks {
class TfmMP;
}
namespace tarvik::widgets {
class DialogBar;
}

namespace tarvik::admin {

class SoundPlayButton;

// The sound dialog: a name and the path of a WAV file, which can be tried
// with the play button beside it.
class TfmAddSound : public QDialog
{
    Q_OBJECT
public:
    static constexpr int kNameLength = 100;
    static constexpr int kPathLength = 1000;

    TfmAddSound(const QString& title, tasks::TfmMP& player, QWidget* parent = nullptr);
    ~TfmAddSound() override;

    void setFields(const QString& name, const QString& path);
    [[nodiscard]] QString name() const;
    [[nodiscard]] QString path() const;
    [[nodiscard]] QLineEdit* edName() const { return m_edName; }
    [[nodiscard]] QLineEdit* edPath() const { return m_edPath; }
    [[nodiscard]] SoundPlayButton& player() const { return *m_play; }
    [[nodiscard]] widgets::DialogBar* bar() const { return m_bar; }

    void sbPlayClick();
    void browseClick();

private:
    widgets::DialogBar* m_bar;
    QLineEdit* m_edName;
    QLineEdit* m_edPath;
    QToolButton* m_sbPlay;
    std::unique_ptr<SoundPlayButton> m_play;
};

} // namespace tarvik::admin
