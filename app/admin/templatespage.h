#pragma once

#include "listpage.h"

namespace tarvik::admin {

class TemplateSample;

// "Вид заметки": the appearance templates, the default one in silver, with
// a sample of the current one; edited through the template editor.
class TemplatesPage : public ListPage
{
    Q_OBJECT
public:
    static const QString kDefaultFont;

    explicit TemplatesPage(db::Query& templates, QWidget* parent = nullptr);

    void sbAddTemplateClick();
    void sbEditTemplateClick();
    void sbDelTemplateClick();

    [[nodiscard]] TemplateSample* sample() const { return m_sample; }
    [[nodiscard]] bool isDefault(int row) const;

private:
    void dsTemplateDataChange();
    // Shows the editor until the row is stored or the user gives up.
    void editRow(bool nameLocked);

    TemplateSample* m_sample;
};

} // namespace tarvik::admin
