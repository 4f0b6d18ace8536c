#pragma once

#include <QApplication>

namespace tarvik {

// The application object of the programs. An exception that no command
// handled and that reaches the event loop is shown with the general error
// display (its own text, the server's for a database error) and the
// program goes on, instead of ending it.
class TarvikApplication : public QApplication
{
    Q_OBJECT
public:
    TarvikApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    // The general error display for an exception caught at the top.
    static void showUnhandled(const std::exception& e);
};

} // namespace tarvik
