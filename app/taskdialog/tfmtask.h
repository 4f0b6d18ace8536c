#pragma once

#include "taskchoices.h"

#include <QDialog>
#include <QVariant>

#include <functional>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QToolButton;

namespace tarvik::db {
class Query;
}
namespace tarvik::widgets {
class DialogBar;
}

namespace tarvik::planner {

// The task dialog: one event's header, template, description, finished
// mark, reminder lead time and reminder sound. It never writes to the
// database. A caller creates it per use, fills it (fillNew, fillFromRow,
// then setViewOnly for reading only), shows it modally, and when accepted()
// reads the choices or has them written into the row it is storing.
class TfmTask : public QDialog
{
    Q_OBJECT
public:
    static constexpr int kHelpTopic = 91;
    static inline const QString kPrintFailedMessage =
        QStringLiteral("Ошибка! Возможно, не установлен принтер.");
    // An edit reached its event no more: another workstation deleted it or
    // moved it out of what this one shows. Nothing was written.
    static inline const QString kEventGoneMessage =
        QStringLiteral("Задание удалено или перемещено другим пользователем. Изменения не сохранены.");
    // The lengths of EVENTS.HEADER and EVENTS.COMMENT.
    static constexpr int kHeaderLength = 255;
    static constexpr int kDescriptionLength = 4000;

    // The search window leaves OK visible but disabled; the reminder window
    // hides it and keeps the dialog above its own stay-on-top window.
    enum class ViewOnlyOk
    {
        Disabled,
        Hidden
    };
    // What an unticked finished mark stores: adding leaves a new row's
    // ISFINISH empty, changing an event stores "F".
    enum class Unticked
    {
        LeaveAsIs,
        StoreF
    };
    using EventPrinter = std::function<void(const db::Query& plannerEvents)>;

    explicit TfmTask(TaskChoices choices, QWidget* parent = nullptr);

    // A new event: everything empty, template ID 1 (or the last template),
    // no sound, no reminder; OK waits for a header.
    void fillNew();
    // The current row of an events query (the planner's, the reminders' or
    // the search's; HEADER, COMMENT, ISFINISH, TEMPLATE, SOUND, ALARM), with
    // OK enabled.
    void fillFromRow(const db::Query& events);
    // Nothing can be changed any more and OK cannot accept.
    void setViewOnly(ViewOnlyOk ok);
    [[nodiscard]] bool isViewOnly() const { return m_viewOnly; }
    // sbPrint prints the current row of the given events query through the
    // single-event report: the query the dialog was filled from (the
    // planner's, the reminders' or the search's), so that the event printed
    // is the one shown. Without them sbPrint stays disabled, as for a new
    // event, which has nothing stored to print yet.
    void setPrinting(const db::Query* plannerEvents, EventPrinter printEvent);

    [[nodiscard]] bool accepted() const { return m_accepted; }
    // Before the dialog is shown again with what the user typed (a store
    // failed): it is not accepted until OK is pressed once more.
    void clearResult() { m_accepted = false; }

    // The readings after acceptance.
    [[nodiscard]] QString header() const;
    [[nodiscard]] QString description() const;
    [[nodiscard]] bool finished() const;
    // The chosen template's ID. When the template choice was left as it was
    // opened and the event's TEMPLATE named no listed template, the event's
    // own value is given back, so an unrelated edit never moves it onto
    // another template. Null with no templates for a new event.
    [[nodiscard]] QVariant templateId() const;
    // 0 for "нет", else the chosen sound's ID; an untouched choice gives back
    // the event's own SOUND when that named a sound deleted since, or null.
    [[nodiscard]] QVariant soundId() const;
    // The chosen minutes; an untouched choice gives back a null ALARM as null.
    [[nodiscard]] QVariant alarmMinutes() const;

    // Sets HEADER, COMMENT, TEMPLATE, SOUND, ALARM and ISFINISH of the row
    // the caller has put into editing or appended. A header or description
    // left empty keeps a null it was read as.
    void writeToRow(db::Query& events, Unticked unticked) const;

public slots:
    void sbOKClick();
    void btOKClick();
    void sbCancelClick();
    void sbHelpClick();
    void sbPrintClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    // Enables sbOK exactly when there is a header and a template is chosen.
    void edHeaderChange();
    [[nodiscard]] static QVariant textToStore(const QString& text, const QVariant& read);

    TaskChoices m_choices;
    widgets::DialogBar* m_bar;
    QToolButton* m_sbPrint;
    QLineEdit* m_edHeader;
    QComboBox* m_cbStyle;
    QPlainTextEdit* m_meTask;
    QCheckBox* m_cbIsFinish;
    QComboBox* m_cbAlarm;
    QComboBox* m_cbSound;

    bool m_accepted = false;
    bool m_viewOnly = false;
    const db::Query* m_plannerEvents = nullptr;
    EventPrinter m_printEvent;

    // The event as read and the positions first shown for it, so that
    // choices the user left alone store what the event held.
    QVariant m_readHeader;
    QVariant m_readComment;
    QVariant m_readTemplate;
    QVariant m_readSound;
    QVariant m_readAlarm;
    int m_shownTemplate = -1;
    int m_shownSound = 0;
    int m_shownAlarm = 0;
};

} // namespace tarvik::planner
