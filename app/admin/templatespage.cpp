#include "templatespage.h"

#include "dberror.h"
#include "platform.h"
#include "query.h"
#include "querylistmodel.h"
#include "templatesample.h"
#include "tfmtemplate.h"

#include <QLayout>
#include <QToolButton>

namespace tarvik::admin {

const QString TemplatesPage::kDefaultFont = QStringLiteral("MS Sans Serif");

namespace {

const QColor kSilver(192, 192, 192); // stored 12632256

} // namespace

TemplatesPage::TemplatesPage(db::Query& templates, QWidget* parent)
    : ListPage(templates, QStringLiteral("dbgTemplate"), QStringLiteral("Наименование шаблона"), parent)
{
    setObjectName(QStringLiteral("tsTemplates"));
    connect(addButton("sbAddTemplate", QStringLiteral("Добавить"), listIcon(ListIcon::Add)),
            &QToolButton::clicked, this, &TemplatesPage::sbAddTemplateClick);
    connect(addButton("sbEditTemplate", QStringLiteral("Правка"), listIcon(ListIcon::Edit)),
            &QToolButton::clicked, this, &TemplatesPage::sbEditTemplateClick);
    connect(addButton("sbDelTemplate", QStringLiteral("Удалить"), listIcon(ListIcon::Delete)),
            &QToolButton::clicked, this, &TemplatesPage::sbDelTemplateClick);
    model()->setRowColour([this](int row) { return isDefault(row) ? kSilver : QColor(); });
    m_sample = new TemplateSample(this);
    m_sample->setObjectName(QStringLiteral("pnSample"));
    m_sample->setFixedHeight(120);
    layout()->addWidget(m_sample);
    for (auto signal : {&db::Query::currentChanged, &db::Query::rowChanged, &db::Query::rowInserted})
        connect(&templates, signal, this, &TemplatesPage::dsTemplateDataChange);
    connect(&templates, &db::Query::closed, this, &TemplatesPage::dsTemplateDataChange);
}

bool TemplatesPage::isDefault(int row) const
{
    return m_list.valueAt(row, QStringLiteral("TDEFAULT")).toString() == QLatin1String("T");
}

void TemplatesPage::dsTemplateDataChange()
{
    m_sample->showRow(m_list);
}

void TemplatesPage::editRow(bool nameLocked)
{
    for (;;) {
        TfmTemplate editor(m_list, nameLocked, window());
        const bool accepted = editor.exec() == QDialog::Accepted;
        if (!accepted) {
            m_list.cancel();
            break;
        }
        if (store(m_list))
            break;
    }
    dsTemplateDataChange();
}

void TemplatesPage::sbAddTemplateClick()
{
    m_list.append();
    const struct
    {
        const char* column;
        QVariant value;
    } start[] = {{"TRACKCOLOR", 0},
                 {"BGCOLOR", 16777215},
                 {"CAPTIONBG", 16777215},
                 {"CAPTIONFONT", kDefaultFont},
                 {"HEADERFONT", kDefaultFont},
                 {"TEXTFONT", kDefaultFont},
                 {"CAPTIONFONTCOLOR", 0},
                 {"HEADERFONTCOLOR", 0},
                 {"TEXTFONTCOLOR", 0},
                 {"CAPTIONFONTSIZE", 9},
                 {"HEADERFONTSIZE", 9},
                 {"TEXTFONTSIZE", 9}};
    for (const auto& s : start)
        m_list.setValue(QLatin1String(s.column), s.value);
    editRow(false);
}

void TemplatesPage::sbEditTemplateClick()
{
    if (m_list.isEmpty() || m_list.recNo() < 0)
        return;
    const bool locked = isDefault(m_list.recNo());
    m_list.edit();
    editRow(locked);
}

void TemplatesPage::sbDelTemplateClick()
{
    if (m_list.isEmpty() || m_list.recNo() < 0)
        return;
    if (isDefault(m_list.recNo())) {
        platform().notice(QStringLiteral("Невозможно удалить шаблон по умолчанию!"));
        return;
    }
    if (!platform().confirm(QStringLiteral("Вы уверены, что хотите удалть шаблон?")))
        return;
    try {
        m_list.deleteRow();
    } catch (const db::DbError& e) {
        platform().error(e.text());
    }
}

} // namespace tarvik::admin
