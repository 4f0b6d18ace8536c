#pragma once

#include <QDateTime>
#include <QString>

namespace tarvik::tasks {

// A date and time as the windows write it: the date in the locale's short
// format, a blank and the time in its long format (without a time zone);
// the time is left out when it is exactly midnight. Empty for a null value.
[[nodiscard]] QString dateTimeText(const QDateTime& value);

} // namespace tarvik::tasks
