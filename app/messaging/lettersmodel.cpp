#include "lettersmodel.h"

#include "datetimetext.h"
#include "pictures.h"
#include "query.h"
#include "roles.h"

#include <QApplication>
#include <QBrush>
#include <QPalette>

namespace tarvik::messaging {

namespace {

const QColor kAccent(177, 185, 207);

} // namespace

LettersModel::LettersModel(db::Query& letters, QObject* parent)
    : QAbstractTableModel(parent), m_letters(letters)
{
    connect(&m_letters, &db::Query::opened, this, &LettersModel::reset);
    connect(&m_letters, &db::Query::closed, this, &LettersModel::reset);
    connect(&m_letters, &db::Query::rowChanged, this,
            [this](int row) { emit dataChanged(index(row, 0), index(row, ColumnCount - 1)); });
    connect(&m_letters, &db::Query::rowRemoved, this, &LettersModel::reset);
    connect(&m_letters, &db::Query::rowInserted, this, &LettersModel::reset);
    reset();
}

void LettersModel::setKind(LetterList kind)
{
    m_kind = kind;
}

void LettersModel::reset()
{
    beginResetModel();
    m_rows = m_letters.isOpen() ? m_letters.recordCount() : 0;
    endResetModel();
}

int LettersModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int LettersModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

int LettersModel::stateImage(int row) const
{
    if (m_kind == LetterList::Sent)
        return widgets::Pictures::MailNew;
    if (isFlagSet(m_letters.valueAt(row, QStringLiteral("ISREPLY"))))
        return widgets::Pictures::MailAnswered;
    if (isFlagSet(m_letters.valueAt(row, QStringLiteral("ISREAD"))))
        return widgets::Pictures::MailRead;
    return widgets::Pictures::MailNew;
}

QVariant LettersModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows || isDivider(index.column()))
        return {};
    const int row = index.row();
    if (index.column() == State) {
        if (role == Qt::DecorationRole)
            return widgets::Pictures::mailState(widgets::Pictures::MailState(stateImage(row)));
        return {};
    }
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return {};
    switch (index.column()) {
    case To:
        return m_letters.valueAt(row, QStringLiteral("F_1"));
    case From:
        return m_letters.valueAt(row, QStringLiteral("F_2"));
    case Subject:
        return m_letters.valueAt(row, QStringLiteral("SUBJ"));
    case Date:
        return tasks::dateTimeText(m_letters.valueAt(row, QStringLiteral("WRITEDATE")).toDateTime());
    default:
        return {};
    }
}

QVariant LettersModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::BackgroundRole)
        return isDivider(section) ? QApplication::palette().brush(QPalette::Window) : QBrush(kAccent);
    if (role != Qt::DisplayRole)
        return {};
    switch (section) {
    case State:
        return QStringLiteral(" ");
    case To:
        return QStringLiteral("Кому");
    case From:
        return QStringLiteral("От кого");
    case Subject:
        return QStringLiteral("Тема");
    case Date:
        return QStringLiteral("Дата");
    default:
        return QString();
    }
}

} // namespace tarvik::messaging
