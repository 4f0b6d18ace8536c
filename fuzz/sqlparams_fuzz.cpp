// The named-parameter parser of the data layer on any statement text: it
// ends without crash or hang, replaces each parameter by exactly one "?",
// copies everything else unchanged, and leaves nothing a second pass would
// take for a parameter. The select-list reader gets the same text.

#include "fuzzcheck.h"
#include "sqlparams.h"

#include <cstdint>

using namespace tarvik::db;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString sql = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const ParsedSql parsed = parseNamedParameters(sql);
    fuzzCheck(parsed.sql.count(QLatin1Char('?')) - sql.count(QLatin1Char('?')) == parsed.markers.size(),
              "one marker per parameter");
    for (const QString& name : parsed.markers)
        fuzzCheck(!name.isEmpty() && name == name.toUpper(), "each marker is a non-empty upper-case name");
    const ParsedSql again = parseNamedParameters(parsed.sql);
    fuzzCheck(again.markers.isEmpty() && again.sql == parsed.sql, "no parameter is left behind");
    (void)selectItems(sql);
    return 0;
}
