#include "tfmaddsound.h"

#include "dialogbar.h"
#include "platform.h"
#include "soundplaybutton.h"
#include "toolpictures.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

namespace tarvik::admin {

TfmAddSound::TfmAddSound(const QString& title, tasks::TfmMP& player, QWidget* parent)
    : QDialog(parent), m_play(std::make_unique<SoundPlayButton>(player))
{
    setObjectName(QStringLiteral("fmAddSound"));
    setWindowTitle(title);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    m_bar = new widgets::DialogBar(this, true);
    connect(m_bar, &widgets::DialogBar::helpClicked, this, [] { platform().showHelp(93); });
    connect(m_bar, &widgets::DialogBar::okClicked, this, &QDialog::accept);
    connect(m_bar, &widgets::DialogBar::cancelClicked, this, &QDialog::reject);

    m_edName = new QLineEdit(this);
    m_edName->setObjectName(QStringLiteral("edName"));
    m_edName->setMaxLength(kNameLength);
    m_edPath = new QLineEdit(this);
    m_edPath->setObjectName(QStringLiteral("edPath"));
    m_edPath->setMaxLength(kPathLength);
    auto* browse = new QToolButton(this);
    browse->setObjectName(QStringLiteral("btBrowse"));
    browse->setText(QStringLiteral("..."));
    browse->setToolTip(QStringLiteral("Выбрать файл"));
    connect(browse, &QToolButton::clicked, this, &TfmAddSound::browseClick);
    m_sbPlay = new QToolButton(this);
    m_sbPlay->setObjectName(QStringLiteral("sbPlay"));
    m_sbPlay->setToolTip(QStringLiteral("Воспроизвести/Остановить"));
    m_sbPlay->setText(QStringLiteral("►"));
    m_sbPlay->setAutoRaise(true);
    connect(m_sbPlay, &QToolButton::clicked, this, &TfmAddSound::sbPlayClick);

    auto* fields = new QGridLayout;
    fields->addWidget(new QLabel(QStringLiteral("Название:"), this), 0, 0);
    fields->addWidget(m_edName, 0, 1, 1, 3);
    fields->addWidget(new QLabel(QStringLiteral("Путь к файлу:"), this), 1, 0);
    fields->addWidget(m_edPath, 1, 1);
    fields->addWidget(browse, 1, 2);
    fields->addWidget(m_sbPlay, 1, 3);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 0, 4, 8);
    layout->addWidget(m_bar);
    layout->addLayout(fields);
    setFixedSize(420, 110);
}

TfmAddSound::~TfmAddSound()
{
    if (m_play->playing())
        m_play->press({});
}

void TfmAddSound::setFields(const QString& name, const QString& path)
{
    m_edName->setText(name);
    m_edPath->setText(path);
}

QString TfmAddSound::name() const
{
    return m_edName->text();
}

QString TfmAddSound::path() const
{
    return m_edPath->text().trimmed();
}

void TfmAddSound::sbPlayClick()
{
    m_play->press(path());
}

void TfmAddSound::browseClick()
{
    const QString file = platform().chooseOpenFile(this, QStringLiteral("Wav файл|*.wav"), path());
    if (file.isEmpty())
        return;
    // The box would cut a longer path without a word, and the sound stored
    // would be another file or none.
    if (file.size() > kPathLength) {
        platform().notice(QStringLiteral("Путь к файлу длиннее %1 знаков и не может быть сохранён. "
                                         "Выберите файл с более коротким путём.")
                              .arg(kPathLength));
        return;
    }
    m_edPath->setText(file);
    m_play->clearMark();
}

} // namespace tarvik::admin
