#include "tfmabout.h"

#include "dialogbar.h"
#include "pictures.h"
#include "screencentre.h"

#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

namespace tarvik::startup {

TfmAbout::TfmAbout(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("fmAbout"));
    setWindowTitle(QStringLiteral("О программе"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    auto* bar = new widgets::DialogBar(this, false);
    bar->okButton()->hide();
    connect(bar, &widgets::DialogBar::cancelClicked, this, &QDialog::reject);
    auto* banner = new QLabel(this);
    banner->setPixmap(QPixmap::fromImage(widgets::Pictures::banner()));
    auto* version = new QLabel(QStringLiteral("<b>Tarvik v1.0</b>"), this);
    version->setObjectName(QStringLiteral("lbVersion"));
    version->setAlignment(Qt::AlignCenter);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(bar);
    layout->addWidget(banner);
    layout->addWidget(version);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TfmAbout::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    widgets::centreOnScreen(this);
}

} // namespace tarvik::startup
