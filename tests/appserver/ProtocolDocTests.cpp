#include "appserver/rpc/JsonRpcDispatcher.h"

#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <gtest/gtest.h>

using pla::JsonRpcDispatcher;

namespace {

// The rows of the method table of docs/protocol.md, by method name: its cells after the name.
QHash<QString, QStringList> DocumentedMethods() {
    QFile file(QStringLiteral(PLA_SOURCE_DIR "/docs/protocol.md"));
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QString text = QString::fromUtf8(file.readAll());
    const qsizetype from = text.indexOf(QStringLiteral("## 2. Methods"));
    const qsizetype to = text.indexOf(QStringLiteral("\n## "), from + 1);
    QHash<QString, QStringList> rows;
    static const QRegularExpression row(QStringLiteral("^\\| `(\\w+)` \\|(.*)\\|$"),
                                        QRegularExpression::MultilineOption);
    for (auto it = row.globalMatch(text.mid(from, to - from)); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        QStringList cells = m.captured(2).split(QLatin1Char('|'));
        for (QString& c : cells)
            c = c.trimmed();
        rows.insert(m.captured(1), cells);
    }
    return rows;
}

} // namespace

// The protocol document lists every method the server answers, with as many params (the
// optional one marked) and the same branch rule, and no method the server does not answer.
TEST(ProtocolDoc, ListsTheServersMethodTable) {
    QHash<QString, QStringList> documented = DocumentedMethods();
    ASSERT_TRUE(documented.remove(QStringLiteral("Login"))) << "no method table found";
    for (const JsonRpcDispatcher::MethodInfo& m : JsonRpcDispatcher::methods()) {
        SCOPED_TRACE(m.name.toStdString());
        ASSERT_TRUE(documented.contains(m.name)) << "missing from docs/protocol.md";
        const QStringList cells = documented.take(m.name);
        ASSERT_EQ(cells.size(), 3); // params, payload, branch rule
        const qsizetype params =
            cells[0] == QLatin1String("none") ? 0 : cells[0].count(QLatin1Char(',')) + 1;
        EXPECT_EQ(params, m.params.size()) << cells[0].toStdString();
        EXPECT_EQ(cells[0].contains(QStringLiteral("(optional)")), m.lastOptional);
        EXPECT_EQ(cells[2], m.branchRule);
    }
    EXPECT_TRUE(documented.isEmpty()) << "documented but not answered: "
                                      << documented.keys().join(QLatin1Char(' ')).toStdString();
}
