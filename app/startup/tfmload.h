#pragma once

#include <QTimer>
#include <QWidget>

class QLabel;

namespace tarvik::startup {

// The splash window: the banner and an animated strip of 182 frames under
// it, one frame a tick. While looping it starts again after the last frame;
// otherwise it closes and destroys itself there.
class TfmLoad : public QWidget
{
    Q_OBJECT
public:
    explicit TfmLoad(QWidget* parent = nullptr);

    void setLooping(bool looping) { m_looping = looping; }
    [[nodiscard]] bool looping() const { return m_looping; }
    [[nodiscard]] int frame() const { return m_frame; }
    void start() { m_timer.start(); }
    void stop() { m_timer.stop(); }
    [[nodiscard]] bool running() const { return m_timer.isActive(); }

public slots:
    void tick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void showFrame(int frame);

    QLabel* m_strip;
    QTimer m_timer;
    int m_frame = 0;
    bool m_looping = true;
};

} // namespace tarvik::startup
