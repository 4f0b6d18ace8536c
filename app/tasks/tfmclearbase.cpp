#include "tfmclearbase.h"

#include "connection.h"
#include "datepicker.h"
#include "dberror.h"
#include "eventsearchstatement.h"
#include "maintenance.h"
#include "platform.h"
#include "screencentre.h"

#include <QDateTime>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace tarvik::tasks {

TfmClearBase::TfmClearBase(db::Connection& connection, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), m_connection(connection),
      m_rbPeriod(new QRadioButton(QStringLiteral("Период с"), this)),
      m_rbComplete(new QRadioButton(QStringLiteral("От выполненых заданий"), this)),
      m_pdStart(new widgets::DatePicker(this)), m_pdEnd(new widgets::DatePicker(this))
{
    setObjectName(QStringLiteral("fmClearBase"));
    setWindowTitle(kCaption);
    setModal(true);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 6);

    auto* bar = new QWidget(this);
    bar->setObjectName(QStringLiteral("pnToolBar"));
    auto* barRow = new QHBoxLayout(bar);
    barRow->setContentsMargins(2, 2, 2, 2);
    auto* run = new QToolButton(bar);
    run->setObjectName(QStringLiteral("SpeedButton1"));
    run->setToolTip(QStringLiteral("Очистить"));
    run->setIcon(style()->standardIcon(QStyle::SP_TrashIcon));
    run->setAutoRaise(true);
    auto* cancel = new QToolButton(bar);
    cancel->setObjectName(QStringLiteral("sbCancel"));
    cancel->setToolTip(QStringLiteral("Отмена"));
    cancel->setIcon(style()->standardIcon(QStyle::SP_DialogCancelButton));
    cancel->setAutoRaise(true);
    barRow->addWidget(run);
    barRow->addStretch(1);
    barRow->addWidget(cancel);
    connect(run, &QToolButton::clicked, this, &TfmClearBase::SpeedButton1Click);
    connect(cancel, &QToolButton::clicked, this, &TfmClearBase::sbCancelClick);
    column->addWidget(bar);

    m_rbPeriod->setObjectName(QStringLiteral("rbPeriod"));
    m_rbComplete->setObjectName(QStringLiteral("rbComplete"));
    m_pdStart->setObjectName(QStringLiteral("pdStart"));
    m_pdEnd->setObjectName(QStringLiteral("pdEnd"));
    const QDate today = platform().now().date();
    m_pdStart->setDate(today);
    m_pdEnd->setDate(today);
    auto* periodRow = new QHBoxLayout;
    periodRow->setContentsMargins(8, 0, 8, 0);
    periodRow->addWidget(m_rbPeriod);
    periodRow->addWidget(m_pdStart);
    periodRow->addWidget(new QLabel(QStringLiteral("по"), this));
    periodRow->addWidget(m_pdEnd);
    periodRow->addStretch(1);
    column->addLayout(periodRow);
    auto* completeRow = new QHBoxLayout;
    completeRow->setContentsMargins(8, 0, 8, 0);
    completeRow->addWidget(m_rbComplete);
    column->addLayout(completeRow);
    connect(m_rbPeriod, &QRadioButton::toggled, this, [this](bool on) {
        m_pdStart->setEnabled(on);
        m_pdEnd->setEnabled(on);
    });
    m_rbPeriod->setChecked(true);

    adjustSize();
    setFixedSize(sizeHint());
    widgets::centreOnScreen(this);
}

void TfmClearBase::SpeedButton1Click()
{
    if (!platform().confirm(kQuestion))
        return;
    bool executed = false;
    try {
        if (m_rbPeriod->isChecked())
            m_connection.execute(clearPeriodStatement(),
                                 {{QStringLiteral("STARTDATE"), QDateTime(m_pdStart->date(), QTime(0, 0))},
                                  {QStringLiteral("ENDDATE"), QDateTime(m_pdEnd->date(), QTime(0, 0))}});
        else
            m_connection.execute(clearFinishedStatement());
        executed = true;
        m_connection.commitRetaining();
    } catch (const db::DbError& e) {
        // A failed statement is undone by the server; a deletion whose commit
        // failed must not be committed later by someone else's change.
        if (executed) {
            try {
                m_connection.rollbackRetaining();
            } catch (const db::DbError&) {
            }
        }
        platform().error(e.text());
        return;
    }
    // So many rows gone leave the server's picture of the indexes wrong.
    try {
        db::recomputeIndexStatistics(m_connection);
    } catch (const db::DbError& e) {
        platform().error(e.text());
    }
    platform().notice(kDoneMessage);
}

void TfmClearBase::sbCancelClick()
{
    reject();
}

} // namespace tarvik::tasks
