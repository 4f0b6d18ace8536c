#pragma once

// The Firebird client library, loaded when first needed. Only the
// declarations of ibase.h are used at build time; the programs start on a
// machine without the library and report its absence themselves.

#include <ibase.h>

namespace tarvik::db {

struct FbApi
{
    decltype(&::isc_attach_database) attach_database;
    decltype(&::isc_detach_database) detach_database;
    decltype(&::isc_drop_database) drop_database;
    decltype(&::isc_start_multiple) start_multiple;
    decltype(&::isc_commit_transaction) commit_transaction;
    decltype(&::isc_commit_retaining) commit_retaining;
    decltype(&::isc_rollback_transaction) rollback_transaction;
    decltype(&::isc_rollback_retaining) rollback_retaining;
    decltype(&::isc_dsql_allocate_statement) dsql_allocate_statement;
    decltype(&::isc_dsql_prepare) dsql_prepare;
    decltype(&::isc_dsql_describe) dsql_describe;
    decltype(&::isc_dsql_describe_bind) dsql_describe_bind;
    decltype(&::isc_dsql_execute2) dsql_execute2;
    decltype(&::isc_dsql_execute_immediate) dsql_execute_immediate;
    decltype(&::isc_dsql_fetch) dsql_fetch;
    decltype(&::isc_dsql_free_statement) dsql_free_statement;
    decltype(&::isc_dsql_sql_info) dsql_sql_info;
    decltype(&::isc_open_blob2) open_blob2;
    decltype(&::isc_create_blob2) create_blob2;
    decltype(&::isc_get_segment) get_segment;
    decltype(&::isc_put_segment) put_segment;
    decltype(&::isc_close_blob) close_blob;
    decltype(&::isc_que_events) que_events;
    decltype(&::isc_cancel_events) cancel_events;
    decltype(&::fb_interpret) interpret;
    decltype(&::isc_sqlcode) sqlcode;
};

// The loaded library's entry points; throws ClientLibraryError when the
// library or one of its functions cannot be found.
const FbApi& fb();

// Takes SIGTERM back from the client library, which may take it when it is
// loaded or when a database is attached.
void keepTerminationSignal();

} // namespace tarvik::db
