#pragma once

#include <QString>

namespace tarvik::startup {

// The configuration file beside the main program; only its first line
// counts.
inline const QString kInitFileName = QStringLiteral("init.txt");
// The first line that stands for the database in the program's own folder.
inline const QString kAutoLine = QStringLiteral("#auto");

// The database in the program's folder: "<folder>/db/tk.gdb", with the
// platform's separators.
[[nodiscard]] QString automaticDatabase(const QString& programDir);

// The longest first line that can be a database name: the client library
// takes the name's length as a 16-bit number. Only this much of the file is
// ever read, so a damaged or hostile file costs no more memory than this.
inline constexpr qsizetype kMaxFirstLineBytes = 32767;

// Reads the first line of a configuration file, as it stands (only the line
// break is removed). False when the file is missing, unreadable or empty, or
// when its first line is longer than kMaxFirstLineBytes.
[[nodiscard]] bool readFirstLine(const QString& path, QString* line);

// The database name a first line gives: the automatic database for exactly
// "#auto", otherwise the line unchanged.
[[nodiscard]] QString databaseNameFromLine(const QString& line, const QString& programDir);

// The path of a file in a folder whose name matches regardless of letter
// case ("Init.txt" finds "init.txt"); the name as given when none does.
[[nodiscard]] QString findFileIgnoringCase(const QString& dir, const QString& name);

} // namespace tarvik::startup
