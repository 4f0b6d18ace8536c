#pragma once

#include <QString>
#include <QtGlobal>

#include <cstdio>

namespace tarvik::bench {

// Benchmarks with windows run offscreen unless told otherwise. The
// offscreen platform warns at every top-level show that it cannot pass
// size hints on; that says nothing about what is measured, so it is not
// printed. Call before the application object is made.
inline void runOffscreen()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext& context, const QString& message) {
        if (message.contains(QLatin1String("propagateSizeHints")))
            return;
        std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
    });
}

} // namespace tarvik::bench
