#include "helpviewer.h"

#include <QFileInfo>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace tarvik {

HelpViewer::HelpViewer(QWidget* parent) : QWidget(parent, Qt::Window), m_browser(new QTextBrowser(this))
{
    setObjectName(QStringLiteral("fmHelp"));
    setWindowTitle(QStringLiteral("Справка"));
    m_browser->setObjectName(QStringLiteral("tbHelp"));
    m_browser->setOpenExternalLinks(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_browser);
    resize(640, 480);
}

QString HelpViewer::topicAnchor(int topic)
{
    return QStringLiteral("topic-%1").arg(topic);
}

void HelpViewer::showTopic(const QString& file, int topic)
{
    if (!QFileInfo::exists(file)) {
        m_browser->setHtml(QStringLiteral("<p>Файл справки не найден: %1</p>").arg(file.toHtmlEscaped()));
        return;
    }
    QUrl url = QUrl::fromLocalFile(file);
    url.setFragment(topicAnchor(topic));
    m_browser->setSource(url);
    m_browser->scrollToAnchor(topicAnchor(topic));
}

} // namespace tarvik
