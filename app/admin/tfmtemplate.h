#pragma once

#include "templatesample.h"

#include <QDialog>

class QComboBox;
class QFrame;
class QLineEdit;
class QToolButton;

namespace tarvik::db {
class Query;
}
namespace tarvik::widgets {
class DialogBar;
}

namespace tarvik::admin {

// "Настройка вида заметки": edits the current row of the templates list in
// place (a new row or one put into edit state by the caller), with a live
// sample. The caller posts or cancels the row after reading the verdict.
class TfmTemplate : public QDialog
{
    Q_OBJECT
public:
    static constexpr int kNameLength = 100;
    static constexpr int kFontLength = 64;
    static constexpr int kSmallestSize = 6;
    static constexpr int kLargestSize = 24;

    TfmTemplate(db::Query& row, bool nameLocked, QWidget* parent = nullptr);

    // The element list, or a click on a part of the sample.
    void cbElementChange(int element);
    void sbElementColorClick();
    void sbFontColorClick();
    void fcbFontChange(int index);
    void cbFontSizeChange(int index);

    [[nodiscard]] TemplateSample* sample() const { return m_sample; }
    [[nodiscard]] widgets::DialogBar* bar() const { return m_bar; }

private:
    void dbeNameChange(const QString& text);
    void paintSwatch(QFrame* swatch, const QColor& colour);
    [[nodiscard]] int element() const;

    db::Query& m_row;
    widgets::DialogBar* m_bar;
    QLineEdit* m_dbeName;
    TemplateSample* m_sample;
    QComboBox* m_cbElement;
    QFrame* m_shElementColor;
    QToolButton* m_sbElementColor;
    QFrame* m_shStyle;
    QToolButton* m_sbStyle;
    QComboBox* m_fcbFont;
    QFrame* m_shFontColor;
    QToolButton* m_sbFontColor;
    QComboBox* m_cbFontSize;
};

} // namespace tarvik::admin
