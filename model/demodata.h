#pragma once

#include <QDate>

namespace tarvik::db {

class Connection;

// Fills a freshly created database with a small office: two bosses with
// their work places, workers with view and edit rights, templates, a sound,
// letters and events spread over the month of the given day. Every demo
// user's password is "1".
void fillDemoOffice(Connection& connection, QDate month = QDate::currentDate());

} // namespace tarvik::db
