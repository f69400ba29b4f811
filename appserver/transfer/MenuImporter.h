#pragma once

#include "appserver/storage/SqlBatch.h"
#include "appserver/transfer/ImportContext.h"

namespace pla {

// The menu part of an import: groups the rows of each menu (branch, service, date), checks its
// dishes, and replaces the stored menu when it differs. A menu whose distributions would be
// left describing another menu is kept as it is and reported, unless the import was told to
// replace distributed menus: then those distributions are deleted (the screen builds them
// again from the new menu) and named in the report.
class MenuImporter {
public:
    explicit MenuImporter(ImportContext& context);
    // Works through every menu row of the run; the branches, services and dishes must be
    // known to the context already.
    void run(const QVector<ParsedRow>& rows, ImportCount& count);

private:
    struct Dish {
        int sequence = 0, order = 0;
        QString recipeBranch, dish, unit;
        double perPerson = 0, extra = 0;
        bool operator==(const Dish&) const = default;
    };
    struct Content {
        QString number;
        double diners = 0;
        QVector<Dish> dishes; // by sequence
        bool operator==(const Content&) const = default;
    };
    struct FileMenu {
        QString branch, service, date;
        const ParsedRow* first = nullptr;
        QVector<const ParsedRow*> rows;
        QVector<Dish> dishes; // in row order, sequence 0 where the file gives none
        bool bad = false;     // one of its rows was refused
    };

    bool checkRow(FileMenu& menu, const ParsedRow& row);
    Content contentOf(FileMenu& menu, const Content* stored) const;
    void write(const FileMenu& menu, const Content& content, bool exists);
    // Menu dishes go in many rows per statement: a year of menus is tens of thousands of rows,
    // and one round trip each is what makes a server database slow.
    void flushDishes();

    ImportContext& context_;
    const ExchangeKind& kind_;
    QHash<QString, Content> stored_;       // by menu key, header only until loaded
    QHash<QString, QString> numberOwner_;  // menu number -> menu key, stored and in the files
    QVector<SqlBatch::Row> pendingDishes_; // menu dish rows not yet inserted
};

} // namespace pla
