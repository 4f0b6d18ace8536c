#include "tarvikapplication.h"

#include "platform.h"

#include <exception>

namespace tarvik {

TarvikApplication::TarvikApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool TarvikApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        showUnhandled(e);
    } catch (...) {
        platform().error(QStringLiteral("Неизвестная ошибка"));
    }
    return false;
}

void TarvikApplication::showUnhandled(const std::exception& e)
{
    // Database errors carry the server's text as their what(), in UTF-8.
    platform().error(QString::fromUtf8(e.what()));
}

} // namespace tarvik
