#pragma once

#include <QAccessibleWidget>

namespace tarvik::widgets {

class MarkupStatusBar;

// What a screen reader sees of the status bar: its panels as static texts,
// a rich panel by the plain text of its markup. The panels' interfaces are
// made when first asked for and read the bar each time.
class MarkupStatusBarAccessible : public QAccessibleWidget
{
public:
    explicit MarkupStatusBarAccessible(MarkupStatusBar* bar);
    ~MarkupStatusBarAccessible() override;

    [[nodiscard]] MarkupStatusBar* bar() const;

    [[nodiscard]] int childCount() const override;
    [[nodiscard]] QAccessibleInterface* child(int index) const override;
    [[nodiscard]] int indexOfChild(const QAccessibleInterface* child) const override;
    [[nodiscard]] QAccessibleInterface* childAt(int x, int y) const override;

    // A panel's text changed; sent while an accessibility client listens.
    static void panelChanged(MarkupStatusBar* bar, int panel);
    // Makes the bar known to the accessibility framework; safe to call more
    // than once.
    static void install();

private:
    mutable QList<QAccessible::Id> m_panels; // by panel, made on demand
};

} // namespace tarvik::widgets
