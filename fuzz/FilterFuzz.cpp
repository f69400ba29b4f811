// Filter texts: a refusal is an EDatabaseError quoting the text; an accepted filter shows a
// subset of the records, and its negation shows exactly the others.
#include "framework/data/ClientDataSet.h"
#include "framework/data/DatabaseError.h"
#include "fuzz/FuzzCheck.h"

#include <QDate>
#include <QRegularExpression>
#include <memory>

using pla::fuzz::require;

namespace {

// Every field type, with nulls, texts that look like numbers and dates, and quotes.
std::unique_ptr<TClientDataSet> makeDataSet() {
    auto ds = std::make_unique<TClientDataSet>(QStringLiteral("cdsFuzz"));
    ds->AddField({.Name = QStringLiteral("CDFILIAL"), .Type = TFieldType::String, .Size = 4});
    ds->AddField({.Name = QStringLiteral("NMPRATO"), .Type = TFieldType::String, .Size = 40});
    ds->AddField({.Name = QStringLiteral("QTPRATO"), .Type = TFieldType::Float});
    ds->AddField({.Name = QStringLiteral("NRSEQ"), .Type = TFieldType::Integer});
    ds->AddField({.Name = QStringLiteral("DTCARD"), .Type = TFieldType::Date});
    ds->CreateDataSet();
    const QVariant null;
    const QVector<QVector<QVariant>> rows = {
        {QStringLiteral("0001"), QStringLiteral("Arroz"), 2.5, 1, QDate(2026, 12, 8)},
        {QStringLiteral("0002"), QStringLiteral("D'água"), -0.00001, -7, QDate(2026, 1, 31)},
        {QStringLiteral("001"), QStringLiteral("1,5"), 1e308, 2147483647, null},
        {null, QString(), 0.0, null, QDate(1, 1, 1)},
        {QStringLiteral("ZZ"), QStringLiteral("Ação \"x\""), null, 0, QDate(9999, 12, 31)},
    };
    for (const QVector<QVariant>& row : rows) {
        ds->Append();
        for (int c = 0; c < row.size(); ++c)
            ds->Fields(c).SetValue(row[c]);
        ds->Post();
    }
    return ds;
}

// Records the filter text shows, or -1 when it is refused.
int visibleWith(TClientDataSet& ds, const QString& text) {
    try {
        ds.SetFilter(text);
    } catch (const EDatabaseError& e) {
        require(e.Message().contains(text), "a refused filter is quoted in the message",
                e.Message());
        // A placeholder in what follows the quoted text, and not in the text, is a piece of
        // the message left unfilled because a piece of the text was taken for it.
        static const QRegularExpression placeholder(QStringLiteral("%[0-9]"));
        const QString detail = e.Message().mid(e.Message().indexOf(text) + text.size());
        for (const auto& m : placeholder.globalMatch(detail))
            require(text.contains(m.captured()), "the message is whole", e.Message());
        return -1;
    }
    require(ds.Filter() == text, "an accepted filter is the set's filter");
    return ds.RecordCount();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::unique_ptr<TClientDataSet> ds = [] {
        auto d = makeDataSet();
        d->SetFiltered(true);
        return d;
    }();
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    ds->SetFilter(QString());
    const int total = ds->RecordCount();
    const int shown = visibleWith(*ds, text);
    if (shown < 0) {
        require(ds->Filter().isEmpty(), "a refused filter leaves the previous one");
        return 0;
    }
    require(shown <= total, "a filter shows a subset of the records");
    if (text.trimmed().isEmpty()) {
        require(shown == total, "a blank filter shows every record");
        return 0;
    }
    const int negated = visibleWith(*ds, QStringLiteral("NOT (%1)").arg(text));
    require(negated >= 0, "the negation of an accepted filter is accepted");
    require(shown + negated == total, "a filter and its negation share out the records",
            QStringLiteral("%1 + %2 of %3").arg(shown).arg(negated).arg(total));
    return 0;
}
