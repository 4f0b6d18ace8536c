#include "planneroptions.h"

#include "query.h"

namespace tarvik::planner {

PlannerOptions PlannerOptions::read(db::Connection& connection)
{
    db::Query options(connection, QStringLiteral("SELECT * FROM Options"));
    options.open();
    PlannerOptions out;
    if (options.isEmpty())
        return out;
    // A step the options dialog cannot produce would divide the hour by
    // nothing; such a row keeps the half-hour rows.
    const int step = options.integer(QStringLiteral("STEP"));
    if (step > 0 && step <= 60)
        out.step = step;
    out.startTimeGrid = options.text(QStringLiteral("STARTTIMEGRID"));
    out.endTimeGrid = options.text(QStringLiteral("ENDTIMEGRID"));
    out.startWorkTimeGrid = options.text(QStringLiteral("STARTWORKTIMEGRID"));
    out.endWorkTimeGrid = options.text(QStringLiteral("ENDWORKTIMEGRID"));
    static const char* const columns[7] = {"SUN", "MON", "TUE", "WED", "THU", "FRI", "SAT"};
    for (int d = 0; d < 7; ++d)
        out.inactiveDays[size_t(d)] = options.text(QLatin1String(columns[d])) == QLatin1String("F");
    return out;
}

} // namespace tarvik::planner
