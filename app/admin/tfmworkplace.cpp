#include "tfmworkplace.h"

#include "dialogbar.h"
#include "platform.h"

#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

namespace tarvik::admin {

TfmWorkPlace::TfmWorkPlace(const QString& name, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("fmWorkPlace"));
    setWindowTitle(QStringLiteral("Рабочее место"));
    m_bar = new widgets::DialogBar(this, true);
    m_bar->okButton()->setObjectName(QStringLiteral("sbOk"));
    m_bar->okButton()->setToolTip(QStringLiteral("OK"));
    connect(m_bar, &widgets::DialogBar::helpClicked, this, [] { platform().showHelp(97); });
    connect(m_bar, &widgets::DialogBar::okClicked, this, &QDialog::accept);
    connect(m_bar, &widgets::DialogBar::cancelClicked, this, &QDialog::reject);

    m_deName = new QLineEdit(this);
    m_deName->setObjectName(QStringLiteral("deName"));
    m_deName->setMaxLength(kNameLength);
    connect(m_deName, &QLineEdit::textChanged, this, &TfmWorkPlace::deNameChange);
    m_deName->setText(name);
    deNameChange();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 0, 4, 8);
    layout->addWidget(m_bar);
    auto* label = new QLabel(QStringLiteral("Наименование"), this);
    label->setObjectName(QStringLiteral("Label1"));
    layout->addWidget(label);
    layout->addWidget(m_deName);
    setFixedSize(320, 100);
}

QString TfmWorkPlace::name() const
{
    return m_deName->text();
}

void TfmWorkPlace::deNameChange()
{
    m_bar->okButton()->setEnabled(!m_deName->text().trimmed().isEmpty());
}

} // namespace tarvik::admin
