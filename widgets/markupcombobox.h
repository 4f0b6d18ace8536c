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

    [[nodiscard]] QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace tarvik::widgets
