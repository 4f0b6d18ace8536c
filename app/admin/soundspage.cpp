#include "soundspage.h"

#include "dberror.h"
#include "platform.h"
#include "query.h"
#include "querylistmodel.h"
#include "soundplaybutton.h"
#include "tfmaddsound.h"

#include <QToolBar>
#include <QToolButton>

namespace tarvik::admin {

namespace {

const QColor kSilver(192, 192, 192); // stored 12632256

} // namespace

SoundsPage::SoundsPage(db::Query& sounds, QWidget* parent)
    : ListPage(sounds, QStringLiteral("dbgSounds"), QStringLiteral("Наименование звука"), parent)
{
    setObjectName(QStringLiteral("tsSounds"));
    connect(addButton("sbAddSound", QStringLiteral("Добавить"), listIcon(ListIcon::Add)),
            &QToolButton::clicked, this, &SoundsPage::sbAddSoundClick);
    connect(addButton("sbEdSound", QStringLiteral("Правка"), listIcon(ListIcon::Edit)), &QToolButton::clicked,
            this, &SoundsPage::sbEdSoundClick);
    connect(addButton("sbDelSound", QStringLiteral("Удалить"), listIcon(ListIcon::Delete)),
            &QToolButton::clicked, this, &SoundsPage::sbDelSoundClick);
    toolBar()->addSeparator();
    m_sbPlay = addButton("sbPlay", QStringLiteral("Воспроизвести/Остановить"), listIcon(ListIcon::Play));
    connect(m_sbPlay, &QToolButton::clicked, this, &SoundsPage::sbPlayClick);
    model()->setRowColour([this](int row) {
        return platform().fileExists(m_list.valueAt(row, QStringLiteral("PATH")).toString()) ? QColor()
                                                                                             : kSilver;
    });
    for (auto signal : {&db::Query::currentChanged, &db::Query::rowChanged, &db::Query::rowInserted})
        connect(&sounds, signal, this, &SoundsPage::dsSoundsDataChange);
    connect(&sounds, &db::Query::closed, this, &SoundsPage::dsSoundsDataChange);
    dsSoundsDataChange();
}

SoundsPage::~SoundsPage() = default;

void SoundsPage::setPlayer(tasks::TfmMP* player)
{
    m_player = player;
    m_play = player ? std::make_unique<SoundPlayButton>(*player) : nullptr;
}

void SoundsPage::dsSoundsDataChange()
{
    const bool current = m_list.isOpen() && m_list.recNo() >= 0;
    m_sbPlay->setEnabled(current && platform().fileExists(m_list.text(QStringLiteral("PATH"))));
}

void SoundsPage::editRow(const QString& title, bool adding)
{
    if (!m_player)
        return;
    QString name = adding ? QString() : m_list.text(QStringLiteral("NAME"));
    QString path = adding ? QString() : m_list.text(QStringLiteral("PATH"));
    for (;;) {
        TfmAddSound dialog(title, *m_player, window());
        dialog.setFields(name, path);
        if (dialog.exec() != QDialog::Accepted)
            return;
        name = dialog.name();
        path = dialog.path();
        try {
            // A new row draws its key from the generator at once.
            if (adding)
                m_list.append();
            else
                m_list.edit();
        } catch (const db::DbError& e) {
            platform().error(e.text());
            continue;
        }
        m_list.setValue(QStringLiteral("NAME"), name);
        m_list.setValue(QStringLiteral("PATH"), path);
        if (store(m_list))
            return;
        m_list.cancel();
    }
}

void SoundsPage::sbAddSoundClick()
{
    editRow(QStringLiteral("Новый звук"), true);
}

void SoundsPage::sbEdSoundClick()
{
    if (m_list.isEmpty() || m_list.recNo() < 0)
        return;
    editRow(QStringLiteral("Правка"), false);
}

void SoundsPage::sbDelSoundClick()
{
    if (m_list.isEmpty() || m_list.recNo() < 0)
        return;
    // Events that name the sound then play nothing, as for any sound that
    // cannot be found.
    if (!platform().confirm(QStringLiteral("Вы уверены, что хотите удалить звук?")))
        return;
    try {
        m_list.deleteRow();
    } catch (const db::DbError& e) {
        platform().error(e.text());
    }
}

void SoundsPage::sbPlayClick()
{
    if (m_play && m_list.isOpen() && m_list.recNo() >= 0)
        m_play->press(m_list.text(QStringLiteral("PATH")));
}

} // namespace tarvik::admin
