#pragma once

#include "mailstatements.h"

#include <QAbstractTableModel>

namespace tarvik::db {
class Query;
}

namespace tarvik::messaging {

// The letter list as the grid dbgTexts shows it: the state picture, "Кому",
// "От кого", "Тема" and "Дата", with a one-pixel divider column between
// each two of them. Follows the list query's rows; re-read whenever the
// query is re-run.
class LettersModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column
    {
        State = 0,
        To = 2,
        From = 4,
        Subject = 6,
        Date = 8,
        ColumnCount = 9
    };

    explicit LettersModel(db::Query& letters, QObject* parent = nullptr);

    void setKind(LetterList kind);
    [[nodiscard]] LetterList kind() const { return m_kind; }
    [[nodiscard]] static bool isDivider(int column) { return column % 2 == 1; }

    [[nodiscard]] int rowCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] int columnCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override;
    [[nodiscard]] QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // 0 new, 1 read, 2 answered: the picture of a row.
    [[nodiscard]] int stateImage(int row) const;

private:
    void reset();

    db::Query& m_letters;
    LetterList m_kind = LetterList::Incoming;
    int m_rows = 0;
};

} // namespace tarvik::messaging
