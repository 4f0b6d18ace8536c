#pragma once

#include <QWidget>

class QTextBrowser;

namespace tarvik {

// The help window: an HTML help file delivered beside the program, whose
// numbered topics are the anchors "topic-N".
class HelpViewer : public QWidget
{
    Q_OBJECT

public:
    explicit HelpViewer(QWidget* parent = nullptr);

    // Opens file at the topic; a missing file is said in the window itself,
    // since help must never stop the work the user was doing.
    void showTopic(const QString& file, int topic);

    [[nodiscard]] static QString topicAnchor(int topic);
    [[nodiscard]] QTextBrowser* browser() const { return m_browser; }

private:
    QTextBrowser* m_browser;
};

} // namespace tarvik
