#include "report/LabelLayout.h"

#include "framework/print/TextFitter.h"
#include "report/ReportTexts.h"

#include <QHash>
#include <algorithm>
#include <optional>

namespace pla {

namespace {

constexpr double kPad = 1.5;      // inner margin of a label: printers rarely hit the die cut
constexpr double kMaxPt = 9;      // type of the whole label when there is room
constexpr double kMinPt = 5;      // the smallest type a required text may take
constexpr double kShrunkPt = 4;   // the dishes and the remark may go this far
constexpr double kMinCode = 8;    // mm: a phone still reads a code of a few digits this size
constexpr double kCountRow = 3.5; // mm under the code for the unit count
constexpr double kRuleGap = 0.5;  // mm between the upper part and the required texts

struct Required {
    QString text;
    bool bold;
};

QVector<Required> RequiredTexts(const LabelContents& c) {
    QVector<Required> out{{c.dates, true}};
    for (const QString& line : c.conservation)
        out.push_back({line, true});
    if (!c.allergens.isEmpty()) out.push_back({c.allergens, true});
    out.push_back({c.glutenLactose, true});
    out.push_back({c.lot, false});
    for (const QString& line : c.producer)
        out.push_back({line, false});
    return out;
}

// The type size of a label and the lines its required texts take at it.
struct Plan {
    double pt = 0;
    QVector<QStringList> lines; // per required text
    double bottom = 0;          // height of the required texts, mm
};

double LineHeight(double pt) {
    return TextFitter::LineHeight(pt, true);
}

// The height of the upper part of a label laid out by plan.
double Top(const QRectF& inner, const Plan& plan) {
    return inner.height() - plan.bottom - kRuleGap;
}

// The largest size at which the required texts fit the label's width uncut and leave room
// for the identification rows, the dishes at their smallest and the code.
std::optional<Plan> PlanFor(const QRectF& inner, const DayPackaging& p,
                            const QVector<Required>& required) {
    for (double pt = kMaxPt; pt >= kMinPt - 1e-9; pt -= 0.5) {
        Plan plan{pt, {}, 0};
        bool cut = false;
        for (const Required& r : required) {
            const TextFitter::Fit f =
                TextFitter::FitBlock(r.text, inner.width(), 1e6, pt, pt, r.bold);
            cut = cut || f.cut;
            plan.lines.push_back(f.lines);
            plan.bottom += f.lines.size() * LineHeight(pt);
        }
        if (cut) continue;
        const double top = Top(inner, plan);
        const bool remark = !p.remark.trimmed().isEmpty();
        const double rows =
            4 * LineHeight(pt) + (p.dishes.size() + (remark ? 1 : 0)) * LineHeight(kShrunkPt);
        if (top >= rows && top >= kMinCode + kCountRow) return plan;
    }
    return std::nullopt;
}

// The side of the QR code: what the required texts leave above them, less the count row.
double CodeSide(const QRectF& inner, const Plan& plan) {
    return std::min(Top(inner, plan) - kCountRow, inner.width() * 0.25);
}

QRectF Inner(const LabelStock& stock) {
    return QRectF(QPointF(0, 0), stock.label).adjusted(kPad, kPad, -kPad, -kPad);
}

// Draws everything of p's label but the unit count into rect.
void Draw(PrintPage& page, const QRectF& rect, const DistributionDay& day, const DayPackaging& p,
          const QVector<Required>& required, const Plan& plan) {
    const QRectF inner = rect.adjusted(kPad, kPad, -kPad, -kPad);
    const double line = LineHeight(plan.pt);
    const double top = Top(inner, plan);

    // Lower part: the required texts across the whole width, under a thin rule.
    double y = inner.bottom() - plan.bottom;
    page.AddLine({inner.left(), y - kRuleGap / 2}, {inner.right(), y - kRuleGap / 2}, 0.1);
    for (int i = 0; i < required.size(); ++i)
        for (const QString& text : plan.lines[i]) {
            page.AddText(QRectF(inner.left(), y, inner.width(), line), text, plan.pt, plan.pt,
                         required[i].bold);
            y += line;
        }

    // Upper right: the code (the unit count goes under it, label by label).
    const QString number = QString::number(p.number);
    const double side = CodeSide(inner, plan);
    const QRectF right(inner.right() - side, inner.top(), side, top);
    page.AddCode(QRectF(right.topLeft(), QSizeF(side, side)), number);
    // Upper left: who and what, then the dishes, then the remark in the room left.
    const QRectF left(inner.left(), inner.top(), inner.width() - side - kPad, top);
    y = left.top();
    auto row = [&](const QString& text, bool bold) {
        page.AddText(QRectF(left.left(), y, left.width(), line), text, plan.pt, kShrunkPt, bold);
        y += line;
    };
    row(ReportTexts::CodeName(day.branch, day.branchName) + QStringLiteral(" · ") +
            ReportTexts::DateAndWeekDay(day.date),
        false);
    row(ReportTexts::Service(day, p.service), true);
    row(ReportTexts::Point(p), false);
    row(QStringLiteral("Nº %1 · ").arg(number) +
            ReportTexts::CodeName(p.container, p.containerName),
        false);

    // The remark keeps at least one line at the smallest type: it may say what must not be
    // missed ("sem sal"); otherwise it takes up to 40 % of what is left under the dishes.
    const double perUnit = p.units > 0 ? p.units : 1;
    const bool remark = !p.remark.trimmed().isEmpty();
    const double smallest = LineHeight(kShrunkPt);
    const double room = left.bottom() - y;
    const double reserve = remark ? std::max(smallest, room * 0.4) : 0;
    const double dishLine =
        p.dishes.isEmpty()
            ? 0
            : std::min(line, std::max(smallest, (room - reserve) / double(p.dishes.size())));
    const double nameWidth = left.width() * 0.5;
    for (const DayDish& d : p.dishes) {
        QString amounts = QStringLiteral("%1 com. %2")
                              .arg(ReportTexts::Amount(d.diners / perUnit),
                                   ReportTexts::AmountUnit(d.quantity / perUnit, d.unit));
        if (d.extra > 0)
            amounts += QStringLiteral(" + %1 extra").arg(ReportTexts::Amount(d.extra / perUnit));
        page.AddText(QRectF(left.left(), y, nameWidth, dishLine), d.name, plan.pt, kShrunkPt);
        page.AddText(QRectF(left.left() + nameWidth, y, left.width() - nameWidth, dishLine),
                     amounts, plan.pt, kShrunkPt, false, Qt::AlignRight | Qt::AlignVCenter);
        y += dishLine;
    }
    if (remark && left.bottom() - y >= smallest - 1e-6)
        page.AddTextBlock(QRectF(left.left(), y, left.width(), left.bottom() - y), p.remark,
                          plan.pt + 3, kShrunkPt, true);
}

// The header label of a delivery point: the day on top, then who receives and how many
// volumes as large as the label allows, inside a heavy frame so it stands out in a pile.
void DrawPointHeader(PrintPage& page, const QRectF& rect, const DistributionDay& day,
                     const DayPackaging& p, int volumes) {
    const QRectF inner = rect.adjusted(kPad, kPad, -kPad, -kPad);
    page.AddBox(inner, 0.8);
    const QRectF text = inner.adjusted(kPad, kPad, -kPad, -kPad);
    const double line = LineHeight(kMaxPt);
    page.AddText(QRectF(text.left(), text.top(), text.width(), line),
                 ReportTexts::CodeName(day.branch, day.branchName) + QStringLiteral(" · ") +
                     ReportTexts::DateAndWeekDay(day.date),
                 kMaxPt, kShrunkPt);
    page.AddTextBlock(text.adjusted(0, line, 0, 0), ReportTexts::PointHeader(p, volumes), 28,
                      kShrunkPt, true, Qt::AlignHCenter);
}

} // namespace

QVector<PrintPage> LabelLayout::Pages(const DistributionDay& day,
                                      const QVector<const DayPackaging*>& packagings,
                                      const LabelStock& stock, const QDateTime& prepared,
                                      QString& error, const LabelSelection& selection) {
    QVector<PrintPage> pages;
    int slot = stock.PerPage();
    auto nextSlot = [&] {
        if (slot == stock.PerPage()) {
            pages.push_back(PrintPage(stock.page));
            slot = 0;
        }
        return stock.LabelRect(slot++).topLeft();
    };
    auto printed = [&](int unit) {
        return selection.units.isEmpty() || selection.units.contains(unit);
    };
    // The volumes of each run of one point's packagings, for its header label.
    QHash<int, int> volumes; // index of the run's first packaging
    if (selection.pointHeaders)
        for (int i = 0, first = 0; i < packagings.size(); ++i) {
            if (packagings[i]->PointKey() != packagings[first]->PointKey()) first = i;
            for (int unit = 1; unit <= packagings[i]->LabelCount(); ++unit)
                volumes[first] += printed(unit) ? 1 : 0;
        }
    // The packagings of a day repeat a few combinations of texts: fitting each once keeps a
    // day of thousands of labels quick.
    QHash<QString, std::optional<Plan>> plans;
    for (int i = 0; i < packagings.size(); ++i) {
        const DayPackaging* p = packagings[i];
        const QVector<Required> required = RequiredTexts(LabelContents::Of(day, *p, prepared));
        QStringList key{QString::number(p->dishes.size()),
                        p->remark.trimmed().isEmpty() ? QString() : QStringLiteral("obs")};
        for (const Required& r : required)
            key << r.text;
        const QString joined = key.join(QLatin1Char('\x1f'));
        auto cached = plans.constFind(joined);
        if (cached == plans.constEnd())
            cached = plans.insert(joined, PlanFor(Inner(stock), *p, required));
        const std::optional<Plan>& plan = *cached;
        if (!plan) {
            QStringList fitting;
            for (const LabelStock& other : LabelStock::All())
                if (&other != &stock && PlanFor(Inner(other), *p, required))
                    fitting.push_back(other.name);
            error = QStringLiteral("Os dados obrigatórios da etiqueta da embalagem %1 não cabem "
                                   "na etiqueta %2 (%3) em letra de 5 pontos ou maior. %4")
                        .arg(p->number)
                        .arg(stock.name, stock.caption,
                             fitting.isEmpty()
                                 ? QStringLiteral("Nenhuma etiqueta os comporta: encurte o "
                                                  "endereço ou a razão social do produtor.")
                                 : QStringLiteral("Use uma etiqueta maior: %1.")
                                       .arg(fitting.join(QStringLiteral(", "))));
            return {};
        }
        if (volumes.value(i) > 0) {
            const QPointF at = nextSlot();
            DrawPointHeader(pages.back(), QRectF(at, stock.label), day, *p, volumes.value(i));
        }
        // Every unit's label is the same but for its count: laid out once, copied.
        const QRectF first(QPointF(0, 0), stock.label);
        PrintPage label(stock.label);
        Draw(label, first, day, *p, required, *plan);
        const QRectF inner = Inner(stock);
        const double side = CodeSide(inner, *plan);
        const QRectF count(inner.right() - side, inner.top() + side, side,
                           Top(inner, *plan) - side);
        const int labels = p->LabelCount();
        for (int unit = 1; unit <= labels; ++unit) {
            if (!printed(unit)) continue;
            const QPointF at = nextSlot();
            pages.back().AddCopy(label, at);
            pages.back().AddText(count.translated(at),
                                 QStringLiteral("%1/%2").arg(unit).arg(labels), 16, kShrunkPt, true,
                                 Qt::AlignCenter);
        }
    }
    return pages;
}

} // namespace pla
