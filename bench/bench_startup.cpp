// Start-up benchmarks on the demo database: Tarvik from creating its main
// window to the login dialog ready to show (configuration, connection,
// shared transaction, alert subscription, users list), and Ruduvo from
// reading its configuration to its login dialog.

#include "connection.h"
#include "databasecreator.h"
#include "dberror.h"
#include "query.h"
#include "ruduvoenter.h"
#include "ruduvostart.h"
#include "tfmmain.h"
#include "tfmsystementer.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

using namespace tarvik;

QTemporaryDir* g_dir = nullptr;
QString g_database;
std::vector<double> g_tarvikMs;
std::vector<double> g_ruduvoMs;

double elapsedMs(std::chrono::steady_clock::time_point since)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - since).count();
}

void TarvikToLoginDialog(benchmark::State& state)
{
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        startup::TfmMain window(g_dir->path());
        if (!window.connectDatabase() || !window.loginDialog()->openList()) {
            state.SkipWithError("the start-up failed");
            return;
        }
        g_tarvikMs.push_back(elapsedMs(start));
        benchmark::DoNotOptimize(window.users().recordCount());
    }
}

void RuduvoToLoginDialog(benchmark::State& state)
{
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        auto connection = ruduvo::connectFromConfig(g_dir->path(), g_dir->path());
        if (!connection) {
            state.SkipWithError("the connection failed");
            return;
        }
        db::Query users(*connection);
        ruduvo::TfmSystemEnter enter(users);
        g_ruduvoMs.push_back(elapsedMs(start));
        benchmark::DoNotOptimize(users.recordCount());
    }
}

double median(std::vector<double> v)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

BENCHMARK(TarvikToLoginDialog)->Unit(benchmark::kMillisecond)->Iterations(15);
BENCHMARK(RuduvoToLoginDialog)->Unit(benchmark::kMillisecond)->Iterations(15);

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir(QStringLiteral("/tmp/tarvik-bench-XXXXXX"));
    QFile::setPermissions(dir.path(), QFile::Permissions(0x7777));
    g_dir = &dir;
    g_database = QStringLiteral("localhost:") + dir.filePath(QStringLiteral("tk.gdb"));
    try {
        db::createDatabase(g_database, true);
    } catch (const db::DbError& e) {
        std::fprintf(stderr, "bench_startup: %s\n", qPrintable(e.text()));
        return 1;
    }
    for (const char* name : {"init.txt", "Init.txt"}) {
        QFile f(dir.filePath(QLatin1String(name)));
        f.open(QIODevice::WriteOnly);
        f.write(g_database.toLocal8Bit() + "\n");
    }

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::printf("tarvik_to_login_ms median=%.1f runs=%zu\n", median(g_tarvikMs), g_tarvikMs.size());
    std::printf("ruduvo_to_login_ms median=%.1f runs=%zu\n", median(g_ruduvoMs), g_ruduvoMs.size());

    db::Connection c(db::ConnectionParams{g_database});
    try {
        c.open();
        c.drop();
    } catch (const db::DbError&) {
    }
    return 0;
}
