#pragma once
// A PostgreSQL server of the test's own, in a temporary folder: initdb, pg_ctl start on a free
// loopback port, one fresh database per store the test asks for, stopped at the end. The server
// refuses to run as root, so under root (a CI container) it runs as the postgres system user, or
// nobody, with its folder owned by that user. Where the server programs are not installed,
// skipReason() says so and the test skips.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTcpServer>
#include <QTemporaryDir>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCollator>
#include <algorithm>
#include <memory>

namespace servertest {

class PgServer {
public:
    PgServer() { start(); }
    ~PgServer()
    {
        if (running_) run(bin_ + QStringLiteral("/pg_ctl"), {"-D", data_, "-m", "immediate", "-w", "stop"});
    }
    PgServer(const PgServer&) = delete;
    PgServer& operator=(const PgServer&) = delete;

    bool ok() const { return running_; }
    // Why there is no server: not installed (skip), or it did not start (a failure).
    QString skipReason() const { return skip_; }
    QString failure() const { return failure_; }

    // The server goes away (as a lost server would) and comes back on the same port.
    bool stop() { return run(bin_ + QStringLiteral("/pg_ctl"), {"-D", data_, "-m", "immediate", "-w", "stop"}); }
    bool restart()
    {
        return run(bin_ + QStringLiteral("/pg_ctl"),
                   {"-D", data_, "-o", options(), "-l", dir_.filePath(QStringLiteral("server.log")), "-w", "-t", "120", "start"});
    }

    // A new empty database and its address for --db.
    QString freshStore()
    {
        const QString name = QStringLiteral("store%1").arg(++stores_);
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), QStringLiteral("pg-admin"));
            db.setHostName(QStringLiteral("127.0.0.1"));
            db.setPort(port_);
            db.setUserName(QStringLiteral("kvrn"));
            db.setDatabaseName(QStringLiteral("postgres"));
            if (db.open()) {
                QSqlQuery q(db);
                if (!q.exec(QStringLiteral("CREATE DATABASE %1").arg(name))) failure_ = q.lastError().text();
                db.close();
            } else {
                failure_ = db.lastError().text();
            }
        }
        QSqlDatabase::removeDatabase(QStringLiteral("pg-admin"));
        return QStringLiteral("postgresql://kvrn@127.0.0.1:%1/%2").arg(port_).arg(name);
    }

private:
    static QString FindBin()
    {
        QDir base(QStringLiteral("/usr/lib/postgresql"));
        QStringList versions = base.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        QCollator numeric;
        numeric.setNumericMode(true);
        std::sort(versions.begin(), versions.end(), [&](const QString& a, const QString& b) { return numeric.compare(a, b) > 0; });
        for (const QString& v : versions) {
            const QString bin = base.filePath(v + QStringLiteral("/bin"));
            if (QFile::exists(bin + QStringLiteral("/initdb")) && QFile::exists(bin + QStringLiteral("/pg_ctl"))) return bin;
        }
        return {};
    }

    // Runs a server program, as the unprivileged user when this process is root.
    bool run(const QString& program, const QStringList& args, int ms = 120000)
    {
        QProcess p;
        if (uid_ >= 0) {
            p.start(QStringLiteral("setpriv"), QStringList{QStringLiteral("--reuid=%1").arg(uid_), QStringLiteral("--regid=%1").arg(gid_),
                                                           QStringLiteral("--clear-groups"), program} + args);
        } else {
            p.start(program, args);
        }
        if (!p.waitForFinished(ms) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
            failure_ = QStringLiteral("%1 failed: %2%3").arg(program, QString::fromLocal8Bit(p.readAllStandardError()),
                                                           QString::fromLocal8Bit(p.readAllStandardOutput()));
            return false;
        }
        return true;
    }

    void start()
    {
        bin_ = FindBin();
        if (bin_.isEmpty()) {
            skip_ = QStringLiteral("the PostgreSQL server programs (initdb, pg_ctl under /usr/lib/postgresql/*/bin) are not "
                                   "installed: the PostgreSQL cases are not run");
            return;
        }
        if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QPSQL"))) {
            skip_ = QStringLiteral("Qt's PostgreSQL driver (libqt6sql6-psql) is not installed: the PostgreSQL cases are not run");
            return;
        }
        if (!dir_.isValid()) {
            failure_ = QStringLiteral("no temporary folder");
            return;
        }
        if (::geteuid() == 0) {
            const passwd* pw = ::getpwnam("postgres");
            if (!pw) pw = ::getpwnam("nobody");
            if (!pw) {
                failure_ = QStringLiteral("running as root with neither a postgres nor a nobody user");
                return;
            }
            uid_ = int(pw->pw_uid);
            gid_ = int(pw->pw_gid);
            if (::chown(QFile::encodeName(dir_.path()).constData(), uid_t(uid_), gid_t(gid_)) != 0) {
                failure_ = QStringLiteral("cannot give the temporary folder to the server's user");
                return;
            }
        }
        data_ = dir_.filePath(QStringLiteral("data"));
        {
            QTcpServer probe;   // a free port, given up just before the server takes it
            if (!probe.listen(QHostAddress::LocalHost, 0)) {
                failure_ = QStringLiteral("no free port");
                return;
            }
            port_ = probe.serverPort();
        }
        if (!run(bin_ + QStringLiteral("/initdb"), {"-D", data_, "-U", "kvrn", "-A", "trust", "-E", "UTF8", "--locale=C", "--no-sync"}))
            return;
        if (!restart()) return;
        running_ = true;
    }

    QString options() const
    {
        return QStringLiteral("-p %1 -k %2 -c listen_addresses=127.0.0.1 -c fsync=off -c max_connections=40").arg(port_).arg(dir_.path());
    }

    QTemporaryDir dir_;
    QString bin_, data_, skip_, failure_;
    int uid_ = -1, gid_ = -1;
    quint16 port_ = 0;
    int stores_ = 0;
    bool running_ = false;
};

// One server for a whole test program, started when a test first asks and stopped by
// StopSharedPg() before the program's application object goes.
inline std::unique_ptr<PgServer>& SharedPgSlot()
{
    static std::unique_ptr<PgServer> server;
    return server;
}
inline PgServer& SharedPg()
{
    if (!SharedPgSlot()) SharedPgSlot() = std::make_unique<PgServer>();
    return *SharedPgSlot();
}
inline void StopSharedPg() { SharedPgSlot().reset(); }

// A test program's main: the shared server goes before the application object it runs under.
inline int RunTestsWithSharedPg(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    const int failed = RUN_ALL_TESTS();
    StopSharedPg();
    return failed;
}

// The stores a test runs on: a fresh SQLite file, or a fresh database of the shared server (the
// test is skipped, saying why, where the PostgreSQL programs are not installed).
enum class Backend { Sqlite, Postgres };
inline std::string BackendName(const ::testing::TestParamInfo<Backend>& info)
{
    return info.param == Backend::Sqlite ? "Sqlite" : "Postgres";
}

struct StoreBackendTest : ::testing::TestWithParam<Backend> {
    QTemporaryDir dir;
    QString store;   // what --db or Store::open takes
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        if (GetParam() == Backend::Sqlite) {
            store = dir.filePath(QStringLiteral("room.sqlite"));
            return;
        }
        PgServer& pg = SharedPg();
        if (!pg.skipReason().isEmpty()) GTEST_SKIP() << pg.skipReason().toStdString();
        ASSERT_TRUE(pg.ok()) << pg.failure().toStdString();
        store = pg.freshStore();
        ASSERT_TRUE(pg.failure().isEmpty()) << pg.failure().toStdString();
    }
};

}  // namespace servertest
