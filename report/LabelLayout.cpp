#include "report/LabelLayout.h"

#include "amounts/DishAmounts.h"
#include "report/ReportTexts.h"

#include <algorithm>

namespace pla {

namespace {

constexpr double kPad = 1.5; // inner margin of a label: printers rarely hit the die cut

} // namespace

QVector<PrintPage> LabelLayout::Pages(const DistributionDay& day,
                                      const QVector<const DayPackaging*>& packagings,
                                      const LabelStock& stock) {
    QVector<PrintPage> pages;
    int slot = stock.PerPage();
    for (const DayPackaging* p : packagings) {
        const int count = p->LabelCount();
        for (int unit = 1; unit <= count; ++unit) {
            if (slot == stock.PerPage()) {
                pages.push_back(PrintPage(stock.page));
                slot = 0;
            }
            Draw(pages.back(), stock.LabelRect(slot++), day, *p, unit);
        }
    }
    return pages;
}

void LabelLayout::Draw(PrintPage& page, const QRectF& rect, const DistributionDay& day,
                       const DayPackaging& p, int unit) {
    const QRectF inner = rect.adjusted(kPad, kPad, -kPad, -kPad);
    const QString number = QString::number(p.number);

    // Right column: the code on top, the unit count under it.
    const double side = std::min(inner.height() * 0.62, inner.width() * 0.3);
    const QRectF right(inner.right() - side, inner.top(), side, inner.height());
    page.AddCode(QRectF(right.topLeft(), QSizeF(side, side)), number);
    const double below = right.height() - side;
    page.AddText(QRectF(right.left(), right.top() + side, side, below * 0.6),
                 QStringLiteral("%1/%2").arg(unit).arg(p.LabelCount()), 16, 5, true,
                 Qt::AlignCenter);
    page.AddText(QRectF(right.left(), right.top() + side + below * 0.6, side, below * 0.4),
                 QStringLiteral("Nº %1").arg(number), 8, 4, false, Qt::AlignCenter);

    // Left column: who and what, then the dishes, then the remark in the room left.
    const QRectF left(inner.left(), inner.top(), inner.width() - side - kPad, inner.height());
    const double line = inner.height() * 0.105;
    double y = left.top();
    auto row = [&](const QString& text, double height, double maxPt, bool bold) {
        page.AddText(QRectF(left.left(), y, left.width(), height), text, maxPt, 4, bold);
        y += height;
    };
    row(ReportTexts::CodeName(day.branch, day.branchName) + QStringLiteral(" · ") +
            ReportTexts::DateAndWeekDay(day.date),
        line, 8, false);
    row(ReportTexts::Service(day, p.service), line, 9, true);
    row(ReportTexts::Point(p), line, 8, false);
    row(ReportTexts::CodeName(p.container, p.containerName), line, 8, false);

    // What one container of the packaging holds, as the screen shows it per unit.
    const auto perUnit = [&p](double amount) {
        return p.units > 0 ? DishAmounts::PerUnit(amount, p.units) : amount;
    };
    const double remarkRoom = p.remark.trimmed().isEmpty() ? 0 : left.bottom() - y;
    const double dishRoom = left.bottom() - y - std::max(remarkRoom * 0.4, 0.0);
    const double dishLine =
        p.dishes.isEmpty() ? 0 : std::min(line, dishRoom / static_cast<double>(p.dishes.size()));
    const double nameWidth = left.width() * 0.5;
    for (const DayDish& d : p.dishes) {
        QString amounts = QStringLiteral("%1 com. %2")
                              .arg(ReportTexts::Amount(perUnit(d.diners)),
                                   ReportTexts::AmountUnit(perUnit(d.quantity), d.unit));
        if (d.extra > 0)
            amounts += QStringLiteral(" + %1 extra").arg(ReportTexts::Amount(perUnit(d.extra)));
        page.AddText(QRectF(left.left(), y, nameWidth, dishLine), d.name, 8, 4, false);
        page.AddText(QRectF(left.left() + nameWidth, y, left.width() - nameWidth, dishLine),
                     amounts, 8, 4, false, Qt::AlignRight | Qt::AlignVCenter);
        y += dishLine;
    }
    if (!p.remark.trimmed().isEmpty() && left.bottom() - y > 1)
        page.AddTextBlock(QRectF(left.left(), y, left.width(), left.bottom() - y), p.remark, 12, 5,
                          true);
}

} // namespace pla
