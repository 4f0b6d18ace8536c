#pragma once

#include <QComboBox>

namespace tarvik::widgets {

// A drop-down list whose items, and the chosen item in the closed box, show
// rich caption markup. Positions count from 0 in the order of adding, so a
// position maps back to the row the item was made from.
class MarkupComboBox : public QComboBox
{
    Q_OBJECT

public:
    explicit MarkupComboBox(QWidget* parent = nullptr);

    void addMarkupItem(const QString& markup, const QVariant& data = {});
    void setMarkupItems(const QStringList& markups);
    [[nodiscard]] QString markupItem(int position) const;

    // -1 when nothing is chosen.
    [[nodiscard]] int selectedPosition() const { return currentIndex(); }
    void selectPosition(int position) { setCurrentIndex(position); }

    // Wide enough for any ordinary item; a longer one (a user name of a
    // hundred letters) is cut in the closed box, so that the window holding
    // the box never grows past the screen. The open list shows it whole.
    [[nodiscard]] QSize sizeHint() const override;
    [[nodiscard]] QSize minimumSizeHint() const override;
    // The chosen item's whole text while the closed box cuts it, else empty.
    [[nodiscard]] QString cutText() const;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    [[nodiscard]] int widthCap() const;
    [[nodiscard]] QRect fieldRect() const;
};

} // namespace tarvik::widgets
