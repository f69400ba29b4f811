// Server processes on one private PostgreSQL server that asks for a password: the password
// stays secret, racing writers on two servers never deadlock or show SQL, and a database
// restart heals by itself.
#include "DistributionView.h"
#include "PostgresInstance.h"
#include "ServerProcess.h"
#include "TestDatabase.h"
#include "framework/data/PacketCodec.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <atomic>
#include <chrono>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <httplib.h>
#include <latch>
#include <thread>

using namespace pla;
using Clock = std::chrono::steady_clock;

namespace {

const char* kPassword = "S3nha-de-teste-16";
const QJsonArray kPoint{"0001", "00004", "2026-12-08", "10003", "001"};

QJsonObject rpc(httplib::Client& c, const char* method, const QJsonArray& params) {
    const QJsonObject request{
        {"jsonrpc", "2.0"}, {"id", 1}, {"method", method}, {"params", params}};
    const auto res = c.Post("/PLA15400.rdmDistEmbCard",
                            QJsonDocument(request).toJson(QJsonDocument::Compact).toStdString(),
                            "application/json");
    if (!res) return {};
    return QJsonDocument::fromJson(QByteArray::fromStdString(res->body))
        .object()
        .value("result")
        .toObject();
}

QJsonArray withRedo(const char* redo) {
    QJsonArray p = kPoint;
    p.append(redo);
    return p;
}

// Driver or SQL text that must never reach a user.
bool raw(const QString& message) {
    for (const char* w :
         {"ERROR", "FATAL", "SELECT", "DELETE", "UPDATE", "INSERT", "deadlock", "["})
        if (message.contains(QString::fromLatin1(w))) return true;
    return false;
}

// Every dish of a loaded distribution conserved: undistributed plus placed equals its totals.
bool whole(const QJsonArray& loaded) {
    if (loaded.size() != 5) return false;
    const TDataPacket u = PacketCodec::FromJson(loaded[2]), r = PacketCodec::FromJson(loaded[4]);
    for (const auto& dish : u.Rows) {
        const QVariant seq = dish[u.IndexOf("NRSEQPRATCAR")];
        double placed = 0;
        for (const auto& row : r.Rows)
            if (row[r.IndexOf("NRSEQPRATCAR")] == seq)
                placed += row[r.IndexOf("QTPRATO")].toDouble();
        if (std::abs(dish[u.IndexOf("QTPRATO")].toDouble() + placed -
                     dish[u.IndexOf("QTTOTPRATO")].toDouble()) > 1e-4)
            return false;
    }
    return true;
}

class PostgresServerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        test::ensureApplication();
        pg_ = new test::PostgresInstance(true);
        if (pg_->running())
            ready_ =
                pg_->sql(QStringLiteral("CREATE ROLE pla LOGIN PASSWORD '%1'").arg(kPassword)) &&
                pg_->sql(QStringLiteral("CREATE DATABASE pla OWNER pla"));
    }
    static void TearDownTestSuite() {
        delete pg_;
        pg_ = nullptr;
    }
    void SetUp() override {
        if (!ready_) GTEST_SKIP() << pg_->error().toStdString();
        QFile f(dir_.filePath(QStringLiteral("senha")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(kPassword) + "\n");
    }
    QString address() const {
        return QStringLiteral("postgresql://pla@127.0.0.1:%1/pla").arg(pg_->port());
    }
    int start(test::ServerProcess& s) {
        QString error;
        const int port =
            s.start(address(),
                    {QStringLiteral("--db-password-file"), dir_.filePath(QStringLiteral("senha"))},
                    QProcessEnvironment::systemEnvironment(), error);
        EXPECT_NE(port, 0) << error.toStdString();
        return port;
    }

    static inline test::PostgresInstance* pg_ = nullptr;
    static inline bool ready_ = false;
    QTemporaryDir dir_;
};

TEST_F(PostgresServerTest, PasswordIsAbsentFromTheCommandLineAndTheLog) {
    // From a file, then from libpq's environment; the server only starts when it was used.
    for (const bool fromFile : {true, false}) {
        test::ServerProcess s;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        QStringList args;
        if (fromFile)
            args = QStringList{QStringLiteral("--db-password-file"),
                               dir_.filePath(QStringLiteral("senha"))};
        else
            env.insert(QStringLiteral("PGPASSWORD"), QString::fromLatin1(kPassword));
        QString error;
        const int port = s.start(address(), args, env, error);
        ASSERT_NE(port, 0) << error.toStdString();
        httplib::Client c("127.0.0.1", port);
        EXPECT_TRUE(rpc(c, "GetGruposServico", {}).value("ok").toBool());
        // A refused call writes to the log too.
        rpc(c, "ApagaDistribuicao", {424242.0});
        QFile cmdline(QStringLiteral("/proc/%1/cmdline").arg(s.pid()));
        ASSERT_TRUE(cmdline.open(QIODevice::ReadOnly));
        EXPECT_FALSE(cmdline.readAll().contains(kPassword));
        const QByteArray log = s.output();
        EXPECT_TRUE(log.contains("PostgreSQL pla@127.0.0.1")) << log.toStdString();
        EXPECT_FALSE(log.contains(kPassword)) << log.toStdString();
    }
}

TEST_F(PostgresServerTest, SaveAndDeleteRacingOnTwoServersNeverDeadlockNorShowSql) {
    test::ServerProcess a, b;
    const int portA = start(a), portB = start(b);
    ASSERT_TRUE(portA && portB);
    httplib::Client ca("127.0.0.1", portA), cb("127.0.0.1", portB);
    int rawMessages = 0, damaged = 0, saved = 0, deleted = 0;
    for (int race = 0; race < 50; ++race) {
        const QJsonArray loaded = rpc(ca, "GetDistribuicao", withRedo("S")).value("data").toArray();
        ASSERT_EQ(loaded.size(), 5);
        const double number = PacketCodec::FromJson(loaded[1]).Rows[0][0].toDouble();
        QJsonObject save, remove;
        std::latch go(2);
        std::thread t([&] {
            go.arrive_and_wait();
            save = rpc(ca, "SetDistribuicao", {number, loaded[2], loaded[3], loaded[4]});
        });
        go.arrive_and_wait();
        remove = rpc(cb, "ApagaDistribuicao", {number});
        t.join();
        for (const QJsonObject* r : {&save, &remove}) {
            ASSERT_FALSE(r->isEmpty());
            if (!r->value("ok").toBool() && raw(r->value("message").toString())) {
                ++rawMessages;
                ADD_FAILURE() << r->value("message").toString().toStdString();
            }
        }
        saved += save.value("ok").toBool();
        deleted += remove.value("ok").toBool();
        if (!whole(rpc(cb, "GetDistribuicao", withRedo("N")).value("data").toArray())) ++damaged;
    }
    std::printf("races 50, saves stored %d, deletes done %d\n", saved, deleted);
    EXPECT_EQ(rawMessages, 0);
    EXPECT_EQ(damaged, 0);
    EXPECT_EQ(deleted, 50);
}

// Two races between servers that used to end in the generic database message or in a false
// conflict: a branch generation against a delete of one of its distributions, and two clerks
// opening the same new distribution at once.
TEST_F(PostgresServerTest, GenerationAgainstDeleteAndTwoFirstLoadsEndRightOnTwoServers) {
    test::ServerProcess a, b;
    const int portA = start(a), portB = start(b);
    ASSERT_TRUE(portA && portB);
    httplib::Client ca("127.0.0.1", portA), cb("127.0.0.1", portB);
    const QJsonObject services{{"fields", QJsonArray{"IDMARCADO", "CDFILIAL", "CDSERVFILI"}},
                               {"rows", QJsonArray{QJsonArray{"S", "0001", "00004"}}}};
    // Runs `first` on another thread and `second` here, released together.
    auto race = [](const std::function<QJsonObject()>& first,
                   const std::function<QJsonObject()>& second) {
        QJsonObject one, two;
        std::latch go(2);
        std::thread t([&] {
            go.arrive_and_wait();
            one = first();
        });
        go.arrive_and_wait();
        two = second();
        t.join();
        return std::make_pair(one, two);
    };
    for (int round = 0; round < 50; ++round) {
        const auto loaded = test::DistributionView::of(rpc(ca, "GetDistribuicao", withRedo("N")));
        const auto [generated, removed] = race(
            [&] {
                return rpc(ca, "GeraDistribuicaoFilial", {"2026-12-08", services, "S"});
            },
            [&] { return rpc(cb, "ApagaDistribuicao", {loaded.number}); });
        for (const QJsonObject& r : {generated, removed})
            ASSERT_TRUE(r.value("ok").toBool())
                << "round " << round << ": " << r.value("message").toString().toStdString();
    }
    for (int round = 0; round < 50; ++round) {
        const auto existing = test::DistributionView::of(rpc(ca, "GetDistribuicao", withRedo("N")));
        ASSERT_TRUE(rpc(ca, "ApagaDistribuicao", {existing.number}).value("ok").toBool());
        const auto [first, second] =
            race([&] { return rpc(ca, "GetDistribuicao", withRedo("N")); },
                 [&] { return rpc(cb, "GetDistribuicao", withRedo("N")); });
        const auto viewA = test::DistributionView::of(first),
                   viewB = test::DistributionView::of(second);
        ASSERT_EQ(viewA.number, viewB.number) << "round " << round;
        ASSERT_EQ(viewA.version, 1) << "round " << round;
        ASSERT_EQ(viewB.version, 1) << "round " << round;
        const QJsonObject saved = rpc(cb, "SetDistribuicao", viewB.saveParams());
        ASSERT_TRUE(saved.value("ok").toBool())
            << "round " << round << ": " << saved.value("message").toString().toStdString();
    }
}

TEST_F(PostgresServerTest, ADatabaseRestartDuringAStreamOfCallsHeals) {
    test::ServerProcess s;
    const int port = start(s);
    ASSERT_NE(port, 0);
    std::atomic<bool> stop{false};
    std::atomic<Clock::rep> backAt{Clock::time_point::max().time_since_epoch().count()};
    std::atomic<int> failedAfter{0}, slowAfter{0}, rawMessages{0}, callsAfter{0};
    std::vector<std::thread> clients;
    for (int i = 0; i < 4; ++i)
        clients.emplace_back([&] {
            httplib::Client c("127.0.0.1", port);
            c.set_read_timeout(30);
            while (!stop) {
                const Clock::time_point sent = Clock::now();
                const QJsonObject r = rpc(c, "GetDistribuicao", withRedo("N"));
                const bool after = sent.time_since_epoch().count() > backAt;
                if (!r.value("ok").toBool() && raw(r.value("message").toString())) ++rawMessages;
                if (!after) continue;
                ++callsAfter;
                if (!r.value("ok").toBool()) ++failedAfter;
                if (Clock::now() - sent > std::chrono::seconds(3)) ++slowAfter;
            }
        });
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    ASSERT_TRUE(pg_->stop());
    httplib::Client health("127.0.0.1", port);
    const auto down = health.Get("/health");
    ASSERT_TRUE(down);
    EXPECT_EQ(down->status, 503);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    ASSERT_TRUE(pg_->start()) << pg_->error().toStdString();
    backAt = Clock::now().time_since_epoch().count();
    std::this_thread::sleep_for(std::chrono::seconds(2));
    stop = true;
    for (auto& t : clients)
        t.join();
    EXPECT_GT(callsAfter, 0);
    EXPECT_EQ(failedAfter, 0);
    EXPECT_EQ(slowAfter, 0);
    EXPECT_EQ(rawMessages, 0);
    const auto up = health.Get("/health");
    ASSERT_TRUE(up);
    EXPECT_EQ(up->status, 200);
}

} // namespace
