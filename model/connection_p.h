#pragma once

#include "connection.h"

#include <ibase.h>

#include <vector>

namespace tarvik::db {

class ConnectionPrivate
{
public:
    ConnectionParams params;
    isc_db_handle db = 0;
    isc_tr_handle tr = 0;
    // Raised on every attachment, so that statement handles prepared on an
    // earlier attachment are known to be stale.
    int epoch = 0;
    std::vector<EventSubscription*> subscriptions;
    // Set when the server dropped the attachment; cleared by the next open.
    bool broken = false;
    std::function<void()> lost;

    // Throws when the status vector reports a failure; a failure of the
    // attachment itself marks the connection broken first.
    void check(const ISC_STATUS* status, const QString& statement = {});
    [[noreturn]] void fail(const ISC_STATUS* status, const QString& statement = {});
    void markBroken() noexcept;

    // The transaction statements run in; throws when none was started.
    isc_tr_handle* transaction(const QString& statement = {});
    isc_db_handle* database(const QString& statement = {});
};

} // namespace tarvik::db
