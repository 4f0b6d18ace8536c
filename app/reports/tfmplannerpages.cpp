#include "tfmplannerpages.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace tarvik::reports {

const QString TfmPlannerPages::kCaption = QStringLiteral("Печать по страницам");

TfmPlannerPages::TfmPlannerPages(const PlannerPageSetup& setup, int columns, int bands,
                                 widgets::PlannerRowMap::Unit unit, QWidget* parent)
    : QDialog(parent), m_columns(columns), m_bands(bands), m_unit(unit)
{
    setObjectName(QStringLiteral("fmPlannerPages"));
    setWindowTitle(kCaption);
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    m_seColumns = new QSpinBox(this);
    m_seColumns->setObjectName(QStringLiteral("seColumns"));
    m_seColumns->setRange(PlannerPageSetup::kMinColumns, PlannerPageSetup::kMaxColumns);
    m_seColumns->setValue(setup.columnsPerPage);
    form->addRow(QStringLiteral("Рабочих мест на странице:"), m_seColumns);
    m_cbOrientation = new QComboBox(this);
    m_cbOrientation->setObjectName(QStringLiteral("cbOrientation"));
    m_cbOrientation->addItems({QStringLiteral("Книжная"), QStringLiteral("Альбомная")});
    m_cbOrientation->setCurrentIndex(setup.landscape ? 1 : 0);
    form->addRow(QStringLiteral("Ориентация:"), m_cbOrientation);
    layout->addLayout(form);
    m_lbPages = new QLabel(this);
    m_lbPages->setObjectName(QStringLiteral("lbPages"));
    layout->addWidget(m_lbPages);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("ОК"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Отмена"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    connect(m_seColumns, &QSpinBox::valueChanged, this, &TfmPlannerPages::updatePages);
    connect(m_cbOrientation, &QComboBox::currentIndexChanged, this, &TfmPlannerPages::updatePages);
    updatePages();
}

PlannerPageSetup TfmPlannerPages::setup() const
{
    PlannerPageSetup s;
    s.columnsPerPage = m_seColumns->value();
    s.landscape = m_cbOrientation->currentIndex() == 1;
    return s;
}

QString TfmPlannerPages::pagesText() const
{
    return m_lbPages->text();
}

void TfmPlannerPages::updatePages()
{
    m_lbPages->setText(
        QStringLiteral("Страниц: %1").arg(plannerPageCount(m_columns, m_bands, m_unit, setup())));
}

} // namespace tarvik::reports
