#pragma once

#include <QLabel>

namespace tarvik::widgets {

// A one-line plain-text label for a name that may be long (a user name of a
// hundred letters): it asks for no more width than an ordinary name needs,
// ends a text it cannot show whole in "…" and then gives the whole text as
// its tooltip. text() stays the whole text.
class ElidedLabel : public QLabel
{
    Q_OBJECT

public:
    explicit ElidedLabel(QWidget* parent = nullptr);

    [[nodiscard]] QSize sizeHint() const override;
    [[nodiscard]] QSize minimumSizeHint() const override;
    // The text as drawn in the label's present width.
    [[nodiscard]] QString shownText() const;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
};

} // namespace tarvik::widgets
