#pragma once

#include <QStringList>
#include <QTimer>
#include <QWidget>

namespace tarvik::widgets {
class MarkupLabel;
}

namespace tarvik::tasks {

// The notice window: a small borderless picture in the bottom right corner
// of the desktop, always on top, telling of a new task, letter or chat
// message for 5 seconds. Created once and hidden between notices.
class TfmNew : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kWidth = 278;
    static constexpr int kHeight = 200;
    static constexpr int kShowTime = 5000;

    explicit TfmNew(QWidget* parent = nullptr);

    // Puts the window into the corner above the task bar and shows the
    // markup lines, one after the other, without taking the window modal.
    // A notice arriving while one is on screen replaces its lines and does
    // not restart its 5 seconds.
    void showNotice(const QStringList& lines);
    [[nodiscard]] const QStringList& lines() const { return m_lines; }
    [[nodiscard]] QTimer& timer() { return m_timer; }

public slots:
    void TimerTimer();

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void startTimer();

    widgets::MarkupLabel* m_lbText;
    QTimer m_timer;
    QStringList m_lines;
};

} // namespace tarvik::tasks
