#pragma once

#include <QList>
#include <QStatusBar>
#include <QTimer>

namespace tarvik::widgets {

// A status bar of panels of given widths, laid left to right, each with its
// own alignment and showing plain text or rich caption markup. One panel
// may be a clock that the bar keeps current itself.
class MarkupStatusBar : public QStatusBar
{
    Q_OBJECT

public:
    explicit MarkupStatusBar(QWidget* parent = nullptr);

    // Returns the new panel's position.
    int addPanel(int width, Qt::Alignment alignment = Qt::AlignLeft, bool rich = false);
    [[nodiscard]] int panelCount() const { return int(m_panels.size()); }

    void setPanelText(int panel, const QString& text);
    [[nodiscard]] QString panelText(int panel) const;
    void setPanelWidth(int panel, int width);
    [[nodiscard]] int panelWidth(int panel) const;
    [[nodiscard]] Qt::Alignment panelAlignment(int panel) const;
    [[nodiscard]] bool isRichPanel(int panel) const { return m_panels.value(panel).rich; }
    [[nodiscard]] QRect panelRect(int panel) const;
    // The panel under point, -1 for none.
    [[nodiscard]] int panelAt(const QPoint& point) const;

    // The panel shows the platform's clock in format (QDateTime format
    // codes, the default locale's month and day names), each second.
    void setClockPanel(int panel, const QString& format);

    [[nodiscard]] QSize sizeHint() const override;
    [[nodiscard]] QSize minimumSizeHint() const override;
    // A panel's whole text while its width cuts it (for its tooltip), else empty.
    [[nodiscard]] QString cutText(int panel) const;

signals:
    void linkClicked(int panel, const QString& href);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    struct Panel
    {
        int width;
        Qt::Alignment alignment;
        bool rich;
        QString text;
    };
    [[nodiscard]] QRect contentRect(int panel) const;
    void showClock();

    QList<Panel> m_panels;
    int m_clockPanel = -1;
    QString m_clockFormat;
    QTimer m_clock;
};

} // namespace tarvik::widgets
