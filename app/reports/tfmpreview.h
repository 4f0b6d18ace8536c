#pragma once

#include "reportdocument.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QScrollArea;
class QToolButton;
class QVBoxLayout;

namespace tarvik::reports {

// The report preview: the prepared pages one below the other, with zoom,
// opening and saving a prepared report, printing, finding text, help and
// closing.
class TfmPreview : public QDialog
{
    Q_OBJECT
public:
    static constexpr int kHelpTopic = 120;
    static const QString kFileFilter; // "Подготовленный отчёт|*.trp"

    explicit TfmPreview(ReportDocument report, QWidget* parent = nullptr);

    [[nodiscard]] const ReportDocument& report() const { return m_report; }
    [[nodiscard]] int zoomPercent() const { return m_zoom; }
    [[nodiscard]] int currentPage() const { return m_page; } // 0-based
    void setZoomPercent(int percent);

public slots:
    void sbZoomInClick();
    void sbZoomOutClick();
    void sbOpenClick();
    void sbSaveClick();
    void sbPrintClick();
    void sbFindClick();
    void sbHelpClick();
    void sbCloseClick();

private:
    void renderPages();
    void showPage(int index);

    ReportDocument m_report;
    int m_zoom = 100;
    int m_page = 0;
    QComboBox* m_cbZoom;
    QLineEdit* m_edFind;
    QLabel* m_lbPage;
    QScrollArea* m_scroll;
    QWidget* m_pagesHost;
    QVBoxLayout* m_pagesLayout;
};

} // namespace tarvik::reports
