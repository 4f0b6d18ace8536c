#pragma once

#include <QLabel>

namespace tarvik::widgets {

// A label showing rich caption markup; clicking a link reports its target.
class MarkupLabel : public QLabel
{
    Q_OBJECT

public:
    explicit MarkupLabel(QWidget* parent = nullptr);
    explicit MarkupLabel(const QString& markup, QWidget* parent = nullptr);

    void setMarkup(const QString& markup);
    [[nodiscard]] QString markup() const { return m_markup; }

signals:
    void linkClicked(const QString& href);

private:
    QString m_markup;
};

} // namespace tarvik::widgets
