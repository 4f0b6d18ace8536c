#pragma once

#include <QString>

#include <memory>

namespace tarvik::db {
class Connection;
}

namespace tarvik::ruduvo {

inline const QString kTitle = QStringLiteral("Tarvik: Очистка состояния пользователей");
// The main program's configuration file, looked for in the working folder.
inline const QString kConfigName = QStringLiteral("Init.txt");

// Reads the database name from "Init.txt" in the working folder ("#auto"
// stands for the database in the programs' folder, as for the main
// program), attaches and starts the transaction. On failure shows
// "Ошибка подключения к базе: <name>" and gives null.
[[nodiscard]] std::unique_ptr<db::Connection> connectFromConfig(const QString& workDir,
                                                                const QString& programDir);

} // namespace tarvik::ruduvo
