// Two server processes on one PostgreSQL behind HAProxy, with the configuration the package
// ships: a session, a versioned save and its audit record made through one server are there
// through the other, and stopping one server in the middle of a stream of saves loses no
// acknowledged save. The figures of the stop are printed for the record.
#include "PostgresInstance.h"
#include "ServerProcess.h"
#include "TestDatabase.h"
#include "framework/data/PacketCodec.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <gtest/gtest.h>
#include <httplib.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

using namespace pla;
using Clock = std::chrono::steady_clock;

namespace {

const char* kDbPassword = "S3nha-do-balanceador";

struct Answer {
    bool ok = false;
    QJsonObject result;
    QString failure; // transport or protocol failure, else the refusal message
};

Answer rpc(httplib::Client& c, const std::string& token, const char* method,
           const QJsonArray& params) {
    const QJsonObject request{
        {"jsonrpc", "2.0"}, {"id", 1}, {"method", method}, {"params", params}};
    httplib::Headers headers;
    if (!token.empty()) headers.emplace("Authorization", token);
    const auto res = c.Post("/PLA15400.rdmDistEmbCard", headers,
                            QJsonDocument(request).toJson(QJsonDocument::Compact).toStdString(),
                            "application/json");
    Answer a;
    if (!res) {
        a.failure = QString::fromStdString(httplib::to_string(res.error()));
        return a;
    }
    const QJsonObject o = QJsonDocument::fromJson(QByteArray::fromStdString(res->body)).object();
    a.result = o.value("result").toObject();
    a.ok = res->status == 200 && a.result.value("ok").toBool();
    if (!a.ok)
        a.failure = QStringLiteral("HTTP %1 %2 %3")
                        .arg(res->status)
                        .arg(o.value("error").toObject().value("message").toString(),
                             a.result.value("message").toString());
    return a;
}

// A loopback port nobody listens on now (the kernel's choice, released at once).
int freePort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof a;
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &size) == 0)
        port = ntohs(a.sin_port);
    ::close(fd);
    return port;
}

// The packaged configuration with this test's addresses in place of the example ones.
bool writeConfig(const QString& file, int front, int portA, int portB) {
    QFile in(QStringLiteral(PLA_SOURCE_DIR "/packaging/haproxy/pla-appserver.cfg"));
    if (!in.open(QIODevice::ReadOnly)) return false;
    QByteArray text = in.readAll();
    text.replace("log /dev/log local0", "log stderr format raw local0 err")
        .replace("bind 0.0.0.0:8400 ssl crt /etc/haproxy/pla-balanceador.pem",
                 "bind 127.0.0.1:" + QByteArray::number(front))
        .replace("127.0.0.1:8401", "127.0.0.1:" + QByteArray::number(portA))
        .replace("127.0.0.1:8402", "127.0.0.1:" + QByteArray::number(portB));
    QFile out(file);
    return out.open(QIODevice::WriteOnly) && out.write(text) == text.size();
}

TEST(LoadBalancerTest, TwoServersBehindHaproxyShareSessionsVersionsAndAuditAndSurviveAStop) {
    const QString haproxy = QStandardPaths::findExecutable(
        QStringLiteral("haproxy"), {QStringLiteral("/usr/sbin"), QStringLiteral("/usr/bin")});
    if (haproxy.isEmpty()) GTEST_SKIP() << "haproxy não instalado (apt install haproxy)";
    if (!test::postgresPossible()) GTEST_SKIP() << "PostgreSQL não disponível";
    test::ensureApplication();
    test::PostgresInstance pg(true);
    ASSERT_TRUE(pg.running()) << pg.error().toStdString();
    ASSERT_TRUE(pg.sql(QStringLiteral("CREATE ROLE pla LOGIN PASSWORD '%1'").arg(kDbPassword)));
    ASSERT_TRUE(pg.sql(QStringLiteral("CREATE DATABASE pla OWNER pla")));
    QTemporaryDir dir;
    const QString passwordFile = dir.filePath(QStringLiteral("senha"));
    {
        QFile f(passwordFile);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(kDbPassword) + "\n");
    }
    const QString database = QStringLiteral("postgresql://pla@127.0.0.1:%1/pla").arg(pg.port());
    const QStringList dbArgs{QStringLiteral("--db-password-file"), passwordFile};

    test::ServerProcess a, b;
    QString error;
    const int portA = a.start(database, dbArgs, QProcessEnvironment::systemEnvironment(), error);
    ASSERT_NE(portA, 0) << error.toStdString();
    const int portB = b.start(database, dbArgs, QProcessEnvironment::systemEnvironment(), error);
    ASSERT_NE(portB, 0) << error.toStdString();
    // The administrator's commands take the password from libpq's environment.
    QProcessEnvironment adminEnv = QProcessEnvironment::systemEnvironment();
    adminEnv.insert(QStringLiteral("PGPASSWORD"), QString::fromLatin1(kDbPassword));
    {
        QProcess add;
        add.setProcessEnvironment(adminEnv);
        add.start(QStringLiteral(PLA_APPSERVER_EXE),
                  QStringList{"user", "add", "ana", "--name", "Ana Souza", "--branch", "0001",
                              "--password-stdin", "--db", database});
        add.write("segredo-da-ana\n");
        add.closeWriteChannel();
        ASSERT_TRUE(add.waitForFinished(30000));
        ASSERT_EQ(add.exitCode(), 0) << add.readAll().toStdString();
    }

    const int front = freePort();
    const QString config = dir.filePath(QStringLiteral("haproxy.cfg"));
    ASSERT_TRUE(writeConfig(config, front, portA, portB));
    QProcess balancer;
    balancer.setProcessChannelMode(QProcess::MergedChannels);
    balancer.start(haproxy, {QStringLiteral("-db"), QStringLiteral("-f"), config});
    ASSERT_TRUE(balancer.waitForStarted(5000));
    httplib::Client viaProxy("127.0.0.1", front);
    viaProxy.set_read_timeout(30);
    {
        const Clock::time_point deadline = Clock::now() + std::chrono::seconds(15);
        bool up = false;
        while (!up && Clock::now() < deadline) {
            const auto res = viaProxy.Get("/health");
            up = res && res->status == 200;
            if (!up) std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        ASSERT_TRUE(up) << balancer.readAll().toStdString();
    }

    // Logged in and saved through A; the session, the version and the audit are B's too.
    httplib::Client ca("127.0.0.1", portA), cb("127.0.0.1", portB);
    const Answer login =
        rpc(ca, "Basic " + QByteArray("ana:segredo-da-ana").toBase64().toStdString(), "Login", {});
    ASSERT_TRUE(login.ok) << login.failure.toStdString();
    const std::string token =
        "Bearer " + login.result.value("data").toObject().value("token").toString().toStdString();
    const QJsonArray point{"0001",  "00004", test::demoToday().toString(Qt::ISODate),
                           "10003", "001",   "N"};
    const auto load = [&](httplib::Client& c, QJsonArray& loaded) {
        const Answer r = rpc(c, token, "GetDistribuicao", point);
        loaded = r.result.value("data").toArray();
        return r.ok && loaded.size() == 5;
    };
    const auto header = [](const QJsonArray& loaded, const char* field) {
        const TDataPacket h = PacketCodec::FromJson(loaded[1]);
        return h.Rows.value(0).value(h.IndexOf(QString::fromLatin1(field))).toDouble();
    };
    const auto save = [&](httplib::Client& c, const QJsonArray& loaded) {
        return rpc(c, token, "SetDistribuicao",
                   {header(loaded, "NRDISTCARD"), loaded[2], loaded[3], loaded[4],
                    header(loaded, "NRVERSAO")});
    };
    QJsonArray loaded;
    ASSERT_TRUE(load(cb, loaded)); // the session A opened
    const double number = header(loaded, "NRDISTCARD");
    const double first = header(loaded, "NRVERSAO");
    const Answer savedOnA = save(ca, loaded);
    ASSERT_TRUE(savedOnA.ok) << savedOnA.failure.toStdString();
    ASSERT_TRUE(load(cb, loaded));
    EXPECT_EQ(header(loaded, "NRVERSAO"), first + 1);
    // The stale version is refused by B as by A.
    QJsonArray stale = loaded;
    {
        TDataPacket h = PacketCodec::FromJson(stale[1]);
        h.Rows[0][h.IndexOf(QStringLiteral("NRVERSAO"))] = first;
        stale[1] = PacketCodec::ToJson(h);
    }
    EXPECT_FALSE(save(cb, stale).ok);
    {
        QProcess audit;
        audit.setProcessEnvironment(adminEnv);
        audit.start(QStringLiteral(PLA_APPSERVER_EXE),
                    QStringList{"audit", "--distribution", QString::number(number), "--json",
                                "--db", database});
        ASSERT_TRUE(audit.waitForFinished(30000));
        const QJsonArray records = QJsonDocument::fromJson(audit.readAllStandardOutput()).array();
        ASSERT_FALSE(records.isEmpty());
        const QJsonObject last = records.last().toObject();
        EXPECT_EQ(last.value("usuario").toString(), "ana");
        EXPECT_EQ(last.value("versao").toDouble(), first + 1);
    }

    // A stream of load-and-save through the balancer; server A stops in the middle of it.
    std::atomic<bool> stop{false};
    std::atomic<int> calls{0}, failures{0}, acknowledged{0};
    std::atomic<Clock::rep> stoppedAt{Clock::time_point::max().time_since_epoch().count()};
    std::atomic<Clock::rep> longestGap{0};
    QStringList failureTexts;
    std::thread clerk([&] {
        Clock::time_point lastSuccess = Clock::now();
        while (!stop) {
            QJsonArray current;
            const bool loadedOk = load(viaProxy, current);
            Answer s;
            if (loadedOk) s = save(viaProxy, current);
            calls += loadedOk ? 2 : 1;
            const Clock::time_point now = Clock::now();
            if (loadedOk && s.ok) {
                ++acknowledged;
                if (now.time_since_epoch().count() > stoppedAt)
                    longestGap = std::max<Clock::rep>(longestGap, (now - lastSuccess).count());
                lastSuccess = now;
            } else {
                ++failures;
                failureTexts << s.failure;
            }
        }
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(700));
    stoppedAt = Clock::now().time_since_epoch().count();
    EXPECT_TRUE(a.terminate());
    std::this_thread::sleep_for(std::chrono::seconds(3));
    stop = true;
    clerk.join();

    ASSERT_TRUE(load(cb, loaded));
    const double gapMs =
        std::chrono::duration<double, std::milli>(Clock::duration(longestGap)).count();
    std::printf("haproxy: calls %d, failures during the stop %d, saves acknowledged %d, "
                "longest wait for a success after the stop %.1f ms\n",
                calls.load(), failures.load(), acknowledged.load(), gapMs);
    EXPECT_GT(acknowledged, 5);
    EXPECT_EQ(failures, 0) << failureTexts.join('\n').toStdString() << "\n"
                           << balancer.readAll().toStdString();
    // Every acknowledged save is stored: the version counts them all.
    EXPECT_EQ(header(loaded, "NRVERSAO"), first + 1 + acknowledged);
    EXPECT_LT(gapMs, 2000);

    balancer.terminate();
    balancer.waitForFinished(5000);
}

} // namespace
