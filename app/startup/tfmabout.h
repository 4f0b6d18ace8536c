#pragma once

#include <QDialog>

namespace tarvik::startup {

// "О программе": the banner and the program's name and version.
class TfmAbout : public QDialog
{
    Q_OBJECT
public:
    explicit TfmAbout(QWidget* parent = nullptr);

protected:
    void showEvent(QShowEvent* event) override;
};

} // namespace tarvik::startup
