#include "markupstatusbaraccessible.h"

#include "markupconverter.h"
#include "markupstatusbar.h"

namespace tarvik::widgets {

namespace {

// One panel of the bar.
class PanelAccessible : public QAccessibleInterface
{
public:
    PanelAccessible(MarkupStatusBarAccessible* parent, int panel) : m_parent(parent), m_panel(panel) {}

    [[nodiscard]] int panel() const { return m_panel; }

    [[nodiscard]] bool isValid() const override { return m_parent->bar() != nullptr; }
    [[nodiscard]] QObject* object() const override { return nullptr; }
    [[nodiscard]] QAccessibleInterface* parent() const override { return m_parent; }
    [[nodiscard]] QAccessibleInterface* child(int) const override { return nullptr; }
    [[nodiscard]] int childCount() const override { return 0; }
    [[nodiscard]] int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    [[nodiscard]] QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    void setText(QAccessible::Text, const QString&) override {}
    [[nodiscard]] QAccessible::Role role() const override { return QAccessible::StaticText; }

    [[nodiscard]] QString text(QAccessible::Text type) const override
    {
        const MarkupStatusBar* bar = m_parent->bar();
        if (!bar || type != QAccessible::Name)
            return {};
        const QString text = bar->panelText(m_panel);
        return bar->isRichPanel(m_panel) ? MarkupConverter::standard().toPlainText(text).simplified() : text;
    }

    [[nodiscard]] QRect rect() const override
    {
        const MarkupStatusBar* bar = m_parent->bar();
        if (!bar)
            return {};
        const QRect r = bar->panelRect(m_panel);
        return QRect(bar->mapToGlobal(r.topLeft()), r.size());
    }

    [[nodiscard]] QAccessible::State state() const override
    {
        QAccessible::State s;
        s.invalid = !isValid();
        s.readOnly = true;
        s.invisible = isValid() && !m_parent->bar()->isVisible();
        return s;
    }

private:
    MarkupStatusBarAccessible* m_parent;
    int m_panel;
};

QAccessibleInterface* statusBarFactory(const QString& key, QObject* object)
{
    if (key == QLatin1String(MarkupStatusBar::staticMetaObject.className()))
        if (auto* bar = qobject_cast<MarkupStatusBar*>(object))
            return new MarkupStatusBarAccessible(bar);
    return nullptr;
}

} // namespace

void MarkupStatusBarAccessible::install()
{
    static const bool installed = [] {
        QAccessible::installFactory(statusBarFactory);
        return true;
    }();
    Q_UNUSED(installed);
}

MarkupStatusBarAccessible::MarkupStatusBarAccessible(MarkupStatusBar* bar)
    : QAccessibleWidget(bar, QAccessible::StatusBar)
{}

MarkupStatusBarAccessible::~MarkupStatusBarAccessible()
{
    for (QAccessible::Id id : std::as_const(m_panels))
        if (id)
            QAccessible::deleteAccessibleInterface(id);
}

MarkupStatusBar* MarkupStatusBarAccessible::bar() const
{
    return static_cast<MarkupStatusBar*>(widget());
}

int MarkupStatusBarAccessible::childCount() const
{
    return bar() ? bar()->panelCount() : 0;
}

QAccessibleInterface* MarkupStatusBarAccessible::child(int index) const
{
    if (index < 0 || index >= childCount())
        return nullptr;
    if (m_panels.size() < childCount())
        m_panels.resize(childCount());
    if (QAccessibleInterface* made = QAccessible::accessibleInterface(m_panels.at(index)))
        return made;
    auto* panel = new PanelAccessible(const_cast<MarkupStatusBarAccessible*>(this), index);
    m_panels[index] = QAccessible::registerAccessibleInterface(panel);
    return panel;
}

int MarkupStatusBarAccessible::indexOfChild(const QAccessibleInterface* child) const
{
    const auto* panel = dynamic_cast<const PanelAccessible*>(child);
    return panel && panel->parent() == this ? panel->panel() : -1;
}

QAccessibleInterface* MarkupStatusBarAccessible::childAt(int x, int y) const
{
    const MarkupStatusBar* b = bar();
    return b ? child(b->panelAt(b->mapFromGlobal(QPoint(x, y)))) : nullptr;
}

void MarkupStatusBarAccessible::panelChanged(MarkupStatusBar* bar, int panel)
{
    if (!QAccessible::isActive())
        return;
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(bar);
    QAccessibleInterface* child = iface ? iface->child(panel) : nullptr;
    if (!child)
        return;
    QAccessibleEvent event(child, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&event);
}

} // namespace tarvik::widgets
