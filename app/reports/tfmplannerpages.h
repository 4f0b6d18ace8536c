#pragma once

#include "plannerpages.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QSpinBox;

namespace tarvik::reports {

// The choice of how the planner grid goes onto sheets: work place columns
// per sheet and the sheet's orientation, with the number of sheets that
// gives for the view shown.
class TfmPlannerPages : public QDialog
{
    Q_OBJECT
public:
    static const QString kCaption; // "Печать по страницам"

    TfmPlannerPages(const PlannerPageSetup& setup, int columns, int bands, widgets::PlannerRowMap::Unit unit,
                    QWidget* parent = nullptr);

    [[nodiscard]] PlannerPageSetup setup() const;
    [[nodiscard]] QString pagesText() const;

private:
    void updatePages();

    int m_columns;
    int m_bands;
    widgets::PlannerRowMap::Unit m_unit;
    QSpinBox* m_seColumns;
    QComboBox* m_cbOrientation;
    QLabel* m_lbPages;
};

} // namespace tarvik::reports
