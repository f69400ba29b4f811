#pragma once

#include "appserver/auth/Caller.h"
#include "appserver/storage/DistributionModel.h"
#include "framework/data/DataPacket.h"

#include <QHash>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <functional>
#include <optional>

namespace pla {

class ReadBatch;
class RowCursor;

// What a distribution load hands back: a message key or text (then nothing else counts),
// or a distribution, with or without its header row.
struct LoadResult {
    QString message;
    Distribution distribution;
    bool hasHeader = true; // false for the read-only view of a whole service
};

// Counts of a branch generation.
struct GenerationSummary {
    int generated = 0; // distributions built (new or replaced)
    int kept = 0;      // existing distributions left as they were
    int skipped = 0;   // delivery points passed over (no menu, no diners)
};

// Reads and writes distributions on one connection. Every public operation is one
// transaction: it either stores everything or nothing.
class DistributionStore {
public:
    // Called before each table is written by a save, with the table's name; a test may throw
    // from it to simulate a failure part-way.
    using WriteHook = std::function<void(const QString& table)>;

    explicit DistributionStore(QSqlDatabase db);
    void setWriteHook(WriteHook hook) { hook_ = std::move(hook); }
    // Who the changes are made for: stamped on the version and written to the audit trail.
    void setCaller(Caller caller) { caller_ = std::move(caller); }

    // The distribution of a delivery point: stored, created with every dish undistributed
    // (redo false, none stored yet) or rebuilt from the defaults (redo true), or a message key
    // (ERRO_SERV_N_TRANS, ERRO_N_EXIST_CARD, ERRO_COMESTICAR_ZERO, ERRO_COMESTICLI_ZERO,
    // ERRO_PRAT_CARD_ALT) or text. Blank client and destination of a service with delivery
    // points give a read-only view of all its points, without header.
    LoadResult load(const DistributionKey& key, bool redo);
    // Replaces the content of distribution `number` with the three packets; packagings with
    // negative numbers get new numbers and their dish rows follow. Throws pla::Refusal naming
    // the dish or packaging at fault, storing nothing; with `version`, also when the stored
    // distribution is no longer at that version (the conflict message).
    void save(double number, const TDataPacket& undistributed, const TDataPacket& packagings,
              const TDataPacket& rows, std::optional<qint64> version = std::nullopt);
    // Deletes distribution `number` with all its rows; throws pla::Refusal when unknown or,
    // with `version`, when it changed since that version.
    void remove(double number, std::optional<qint64> version = std::nullopt);
    // Generates the distributions of every ticked service (IDMARCADO "S") at every delivery
    // point for `date`: existing ones are kept unless `replace`; services without a menu on the
    // date and points without diners are passed over. Throws pla::Refusal when nothing is
    // ticked or a ticked service is not a transported service.
    GenerationSummary generate(const QDate& date, const TDataPacket& services, bool replace);

    // The stored distribution `number`, if any.
    std::optional<Distribution> find(qint64 number);
    // The stored distribution of a delivery point, if any.
    std::optional<Distribution> findByKey(const DistributionKey& key);

private:
    struct Point {
        QString client, destination;
        double diners = 0;
    };
    struct ServiceInfo {
        bool exists = false;
        bool transported = false;
        QVector<Point> points;
    };

    ServiceInfo serviceInfo(const QString& branch, const QString& service);
    static ServiceInfo serviceInfo(RowCursor& q);
    std::optional<Menu> menu(const QString& branch, const QString& service, const QDate& date);
    // Adds the three reads of a menu to `batch`; returns the index of the first.
    static int addMenu(ReadBatch& batch, const QString& branch, const QString& service,
                       const QDate& date);
    static std::optional<Menu> menu(ReadBatch& batch, int first);
    std::optional<qint64> numberOf(const DistributionKey& key);
    // The distribution whose header row meets `where`, if any, read in one snapshot.
    std::optional<Distribution> read(const QString& where, const QVariantList& values);
    // Adds the four reads of the distribution whose header row meets `where` to `batch`;
    // returns the index of the first, for distribution().
    static int addDistribution(ReadBatch& batch, const QString& where, const QVariantList& values);
    static std::optional<Distribution> distribution(ReadBatch& batch, int first);
    bool menuChanged(const Distribution& stored, const Menu& menu) const;
    Distribution view(const DistributionKey& key, const Menu& menu, const QVector<Point>& points);
    // Stores `built` under `key`: replaces the content of an existing distribution (keeping its
    // number) or inserts a new one, advancing its version; with an `operation`, the change goes
    // to the audit trail. Must run inside a write transaction.
    qint64 store(const DistributionKey& key, const Distribution& built, const QString& operation);
    qint64 replace(const DistributionKey& key, const Distribution& built,
                   std::optional<qint64> number);
    // Inserts `built` as a new distribution under `key` (version 0, not yet advanced); none when
    // one with that key exists, waiting for another server's insert of it to commit first.
    std::optional<qint64> insertNew(const DistributionKey& key, const Distribution& built);
    // Advances the version of `number` and, with an `operation`, records the change from
    // `before` to `written` (read back when not given).
    void recordChange(const QString& operation, const std::optional<Distribution>& before,
                      qint64 number, std::optional<qint64> versionBefore, bool versioned,
                      const Distribution* written = nullptr);
    // Locks the header row of distribution `number` for this transaction (the first lock every
    // writer takes); false when it does not exist.
    bool lockHeader(qint64 number);
    void deleteContent(qint64 number);
    void hook(const QString& table) {
        if (hook_) hook_(table);
    }

    QSqlDatabase db_;
    WriteHook hook_;
    Caller caller_;
};

} // namespace pla
