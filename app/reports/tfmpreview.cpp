#include "tfmpreview.h"

#include "platform.h"
#include "reportprinter.h"

#include <QComboBox>
#include <QFile>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace tarvik::reports {

const QString TfmPreview::kFileFilter = QStringLiteral("Подготовленный отчёт|*.trp");

namespace {

constexpr int kZoomSteps[] = {25, 50, 75, 100, 150, 200, 300};

QToolButton* button(QWidget* parent, const QString& name, const QString& hint, const QString& text = {})
{
    auto* b = new QToolButton(parent);
    b->setObjectName(name);
    b->setToolTip(hint);
    b->setText(text.isEmpty() ? hint : text);
    b->setAutoRaise(true);
    return b;
}

} // namespace

TfmPreview::TfmPreview(ReportDocument report, QWidget* parent) : QDialog(parent), m_report(std::move(report))
{
    setObjectName(QStringLiteral("TfmPreview"));
    setWindowTitle(QStringLiteral("Предварительный просмотр"));
    setSizeGripEnabled(true);
    resize(760, 820);

    auto* top = new QHBoxLayout;
    auto* zoomOut =
        button(this, QStringLiteral("sbZoomOut"), QStringLiteral("Уменьшить"), QStringLiteral("−"));
    auto* zoomIn = button(this, QStringLiteral("sbZoomIn"), QStringLiteral("Увеличить"), QStringLiteral("+"));
    m_cbZoom = new QComboBox(this);
    m_cbZoom->setObjectName(QStringLiteral("cbZoom"));
    m_cbZoom->setToolTip(QStringLiteral("Масштаб"));
    for (int z : kZoomSteps)
        m_cbZoom->addItem(QStringLiteral("%1%").arg(z), z);
    auto* open = button(this, QStringLiteral("sbOpen"), QStringLiteral("Открыть"));
    auto* save = button(this, QStringLiteral("sbSave"), QStringLiteral("Сохранить"));
    auto* print = button(this, QStringLiteral("sbPrint"), QStringLiteral("Печать"));
    m_edFind = new QLineEdit(this);
    m_edFind->setObjectName(QStringLiteral("edFind"));
    m_edFind->setMaxLength(100);
    m_edFind->setPlaceholderText(QStringLiteral("Найти текст"));
    auto* find = button(this, QStringLiteral("sbFind"), QStringLiteral("Найти"));
    m_lbPage = new QLabel(this);
    m_lbPage->setObjectName(QStringLiteral("lbPage"));
    auto* help = button(this, QStringLiteral("sbHelp"), QStringLiteral("Справка"));
    auto* close = button(this, QStringLiteral("sbClose"), QStringLiteral("Закрыть"));
    for (QWidget* w : std::initializer_list<QWidget*>{zoomOut, m_cbZoom, zoomIn, open, save, print, m_edFind,
                                                      find, m_lbPage})
        top->addWidget(w);
    top->addStretch();
    top->addWidget(help);
    top->addWidget(close);

    m_scroll = new QScrollArea(this);
    m_scroll->setObjectName(QStringLiteral("pnPages"));
    m_scroll->setAlignment(Qt::AlignHCenter);
    m_scroll->setBackgroundRole(QPalette::Dark);
    m_pagesHost = new QWidget;
    m_pagesLayout = new QVBoxLayout(m_pagesHost);
    m_pagesLayout->setSpacing(12);
    m_scroll->setWidget(m_pagesHost);
    m_scroll->setWidgetResizable(true);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_scroll, 1);

    connect(zoomIn, &QToolButton::clicked, this, &TfmPreview::sbZoomInClick);
    connect(zoomOut, &QToolButton::clicked, this, &TfmPreview::sbZoomOutClick);
    connect(m_cbZoom, &QComboBox::activated, this,
            [this](int i) { setZoomPercent(m_cbZoom->itemData(i).toInt()); });
    connect(open, &QToolButton::clicked, this, &TfmPreview::sbOpenClick);
    connect(save, &QToolButton::clicked, this, &TfmPreview::sbSaveClick);
    connect(print, &QToolButton::clicked, this, &TfmPreview::sbPrintClick);
    connect(find, &QToolButton::clicked, this, &TfmPreview::sbFindClick);
    connect(m_edFind, &QLineEdit::returnPressed, this, &TfmPreview::sbFindClick);
    connect(help, &QToolButton::clicked, this, &TfmPreview::sbHelpClick);
    connect(close, &QToolButton::clicked, this, &TfmPreview::sbCloseClick);
    setZoomPercent(100);
}

void TfmPreview::setZoomPercent(int percent)
{
    m_zoom = std::clamp(percent, kZoomSteps[0], kZoomSteps[std::size(kZoomSteps) - 1]);
    const int index = m_cbZoom->findData(m_zoom);
    if (index >= 0)
        m_cbZoom->setCurrentIndex(index);
    renderPages();
}

void TfmPreview::renderPages()
{
    while (QLayoutItem* item = m_pagesLayout->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    // A page at 100% is as large as the sheet on a 96 dpi screen.
    const double dpi = 96.0 * m_zoom / 100.0;
    const QSizeF sheet = m_report.pageSize();
    const QSize size(qRound(sheet.width() / 72.0 * dpi), qRound(sheet.height() / 72.0 * dpi));
    for (int p = 0; p < m_report.pageCount(); ++p) {
        QImage image(size, QImage::Format_RGB32);
        image.setDotsPerMeterX(qRound(dpi / 0.0254));
        image.setDotsPerMeterY(qRound(dpi / 0.0254));
        image.fill(Qt::white);
        QPainter painter(&image);
        m_report.paintPage(p, painter);
        painter.end();
        auto* label = new QLabel(m_pagesHost);
        label->setObjectName(QStringLiteral("page%1").arg(p + 1));
        label->setPixmap(QPixmap::fromImage(image));
        label->setAccessibleName(QStringLiteral("стр. %1").arg(p + 1));
        label->setAccessibleDescription(m_report.pageTexts(p).join(u' '));
        m_pagesLayout->addWidget(label, 0, Qt::AlignHCenter);
    }
    m_pagesLayout->addStretch();
    showPage(std::min(m_page, std::max(m_report.pageCount() - 1, 0)));
}

void TfmPreview::showPage(int index)
{
    m_page = index;
    m_lbPage->setText(
        QStringLiteral("Стр. %1 из %2").arg(m_report.pageCount() ? index + 1 : 0).arg(m_report.pageCount()));
    if (QLayoutItem* item = m_pagesLayout->itemAt(index); item && item->widget())
        m_scroll->verticalScrollBar()->setValue(item->widget()->y());
}

void TfmPreview::sbZoomInClick()
{
    for (int z : kZoomSteps)
        if (z > m_zoom)
            return setZoomPercent(z);
}

void TfmPreview::sbZoomOutClick()
{
    for (int i = int(std::size(kZoomSteps)) - 1; i >= 0; --i)
        if (kZoomSteps[i] < m_zoom)
            return setZoomPercent(kZoomSteps[i]);
}

void TfmPreview::sbOpenClick()
{
    const QString path = platform().chooseOpenFile(this, kFileFilter);
    if (path.isEmpty())
        return;
    QFile file(path);
    ReportDocument opened;
    if (!file.open(QIODevice::ReadOnly) || !opened.load(file)) {
        platform().error(QStringLiteral("Файл \"%1\" не является подготовленным отчётом.").arg(path));
        return;
    }
    m_report = opened;
    m_page = 0;
    renderPages();
}

void TfmPreview::sbSaveClick()
{
    const QString path = platform().chooseSaveFile(this, kFileFilter);
    if (path.isEmpty())
        return;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !m_report.save(file) || !file.flush()) {
        platform().error(QStringLiteral("Не удалось записать файл \"%1\".").arg(path));
        return;
    }
}

void TfmPreview::sbPrintClick()
{
    printPrepared(this, m_report);
}

void TfmPreview::sbFindClick()
{
    // Finding again goes on after the page last found, then from the top.
    const QString text = m_edFind->text();
    int found = m_report.findText(text, m_page + 1);
    if (found < 0)
        found = m_report.findText(text, 0);
    if (found < 0) {
        platform().notice(QStringLiteral("Текст \"%1\" не найден.").arg(text));
        return;
    }
    showPage(found);
}

void TfmPreview::sbHelpClick()
{
    platform().showHelp(kHelpTopic);
}

void TfmPreview::sbCloseClick()
{
    accept();
}

} // namespace tarvik::reports
