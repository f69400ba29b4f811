// Ticking services: the title click in each tick situation, the group filter with any code,
// the keys of the list, the column editing rule and the drawing of the tick column.
#include "framework/ui/Colors.h"
#include "framework/ui/TComboBox.h"
#include "framework/ui/TDBGrid.h"
#include "framework/ui/TImage.h"
#include "tests/branch_generation/BranchGenerationFixture.h"

#include <QImage>
#include <stdexcept>

namespace pla::test {
namespace {

using TickingTest = BranchGenerationTest;

TEST_F(TickingTest, TitleClickFollowsTheTicksOfTheVisibleRowsOnly) {
    ASSERT_TRUE(Open([&] {
        // All groups, mixed: tick all; then all ticked: untick all.
        ClickTickTitle();
        EXPECT_EQ(Ticks(), QStringLiteral("SSSS"));
        ClickTickTitle();
        EXPECT_EQ(Ticks(), QStringLiteral("NNNN"));

        // None ticked in a group: tick its services only.
        ChooseGroup(1);
        EXPECT_EQ(Visible(), QStringList({"00010"}));
        ClickTickTitle();
        EXPECT_EQ(Ticks(), QStringLiteral("SNNN"));

        // The group whose code holds a quote: partly ticked, then all ticked.
        ChooseGroup(2);
        EXPECT_EQ(Visible(), QStringList({"00020", "00030"}));
        ClickCell(0, "IDMARCADO");
        EXPECT_EQ(Ticks(), QStringLiteral("SSNN"));
        ClickTickTitle();
        EXPECT_EQ(Ticks(), QStringLiteral("SSSN"));
        ClickTickTitle();
        EXPECT_EQ(Ticks(), QStringLiteral("SNNN")); // the other group keeps its tick
        EXPECT_EQ(Form().cdsServicos->RecNo(), 1);

        // The empty entry shows everything again, with the ticks made under any group.
        ChooseGroup(0);
        EXPECT_EQ(Visible().size(), 4);
        EXPECT_FALSE(Form().cdsServicos->Filtered());
        EXPECT_EQ(Ticks(), QStringLiteral("SNNN"));
    }));
}

TEST_F(TickingTest, ClicksOutsideTheTickColumnTickNothing) {
    ASSERT_TRUE(Open([&] {
        ClickCell(2, "SERVICO");
        Act([&] { Form().dbgServicos->UserClickTitle(1); });
        EXPECT_EQ(Ticks(), QStringLiteral("NSNN"));
        ClickCell(2, "IDMARCADO");
        EXPECT_EQ(Ticks(), QStringLiteral("NSSN"));
        EXPECT_EQ(Form().cdsServicos->RecNo(), 3);
    }));
}

TEST_F(TickingTest, SpaceTogglesWithAnyModifierAndOtherKeysChangeNothing) {
    ASSERT_TRUE(Open([&] {
        TfrmDistribuicaoFilial& f = Form();
        Act([&] { f.dbgServicos->UserSelectRow(1); });
        GridKey(VK_SPACE, ssShift);
        EXPECT_EQ(Ticks(), QStringLiteral("NNNN"));
        GridKey(VK_SPACE, ssCtrl | ssAlt);
        EXPECT_EQ(Ticks(), QStringLiteral("NSNN"));

        // Ctrl+Delete never reaches the grid's deletion (which would ask first).
        GridKey(VK_DELETE, ssCtrl);
        EXPECT_EQ(f.cdsServicos->RecordCount(), 4);
        // Typing in the service column meets the edit guard.
        Act([&] { f.dbgServicos->UserSelectColumn("SERVICO"); });
        GridKey('X');
        GridKey(VK_DELETE);
        EXPECT_EQ(f.cdsServicos->State(), TDataSetState::Browse);
        EXPECT_EQ(f.cdsServicos->FieldByName("NMSERVICO").AsString(), QStringLiteral("Jantar"));
        EXPECT_EQ(Ticks(), QStringLiteral("NSNN"));
        EXPECT_EQ(NextMessage(), QString());
    }));
}

TEST_F(TickingTest, EmptyListChangesNothing) {
    ASSERT_TRUE(Open(
        [&] {
            ClickTickTitle();
            GridKey(VK_SPACE);
            ClickCell(0, "IDMARCADO");
            EXPECT_EQ(Form().cdsServicos->TotalRecordCount(), 0);
            EXPECT_EQ(NextMessage(), QString());
        },
        QStringLiteral("0002")));
}

TEST_F(TickingTest, OddTickValueCountsAsNeitherAndBecomesTickedOnToggle) {
    ASSERT_TRUE(Open(
        [&] {
            EXPECT_EQ(Ticks(), QStringLiteral("XS"));
            // The only tick state among the visible rows is "ticked": the title unticks.
            ClickTickTitle();
            EXPECT_EQ(Ticks(), QStringLiteral("NN"));
        },
        QStringLiteral("0003")));
    ASSERT_TRUE(Open(
        [&] {
            ClickCell(0, "IDMARCADO");
            EXPECT_EQ(Ticks(), QStringLiteral("SS"));
        },
        QStringLiteral("0003")));
}

TEST_F(TickingTest, GuardsAndDisplayComeBackWhenTickingFails) {
    ASSERT_TRUE(Open([&] {
        TClientDataSet& ds = *Form().cdsServicos;
        int posts = 0;
        ds.AfterPost = [&](TClientDataSet&) {
            if (++posts == 2) throw std::runtime_error("disco cheio");
        };
        EXPECT_FALSE(Act([&] { Form().MarcaServico(true); }));
        EXPECT_EQ(NextMessage(), QStringLiteral("disco cheio"));
        ds.AfterPost = nullptr;

        EXPECT_TRUE(static_cast<bool>(ds.BeforeEdit));
        EXPECT_TRUE(static_cast<bool>(ds.BeforeInsert));
        EXPECT_FALSE(ds.ControlsDisabled());
        EXPECT_EQ(ds.State(), TDataSetState::Browse);
        // The guards hold again: only the tick routine changes rows.
        EXPECT_FALSE(Act([&] { ds.Edit(); }));
        EXPECT_FALSE(Act([&] { ds.Append(); }));
        EXPECT_EQ(ds.TotalRecordCount(), 4);
    }));
}

TEST_F(TickingTest, EditingIsOffInTheTickColumnOnly) {
    ASSERT_TRUE(Open([&] {
        TDBGrid& grid = *Form().dbgServicos;
        Act([&] { grid.UserSelectColumn("IDMARCADO"); });
        EXPECT_FALSE(grid.HasOption(dgEditing));
        Act([&] { grid.UserSelectColumn("SERVICO"); });
        EXPECT_TRUE(grid.HasOption(dgEditing));
        // A row move re-applies the rule for the column selected.
        grid.SetOption(dgEditing, false);
        Act([&] { grid.UserSelectRow(2); });
        EXPECT_TRUE(grid.HasOption(dgEditing));
    }));
}

TEST_F(TickingTest, TickCellShowsTheBoxOfItsRowOnTheCellBackground) {
    ASSERT_TRUE(Open([&] {
        TDBGrid& grid = *Form().dbgServicos;
        QImage canvas(grid.Width(), grid.Height(), QImage::Format_RGB32);
        canvas.fill(Qt::black);
        grid.PaintTo(canvas);

        // Rows 1 ("S") and 2 ("N") are not current, so they lie on the grid's own colour.
        for (const auto& [row, box] : {std::pair{1, Form().imgChecked}, {2, Form().imgUnchecked}}) {
            SCOPED_TRACE(row);
            const QImage picture = box->Picture().convertToFormat(QImage::Format_RGB32);
            const QRect cell = grid.CellRect(row, 0);
            const int left = cell.left() + (cell.width() - picture.width()) / 2;
            int mismatches = 0;
            for (int y = 0; y < picture.height() && y < cell.height(); ++y)
                for (int x = 0; x < picture.width(); ++x) {
                    const QColor source = picture.pixelColor(x, y);
                    const QColor expected = source == clOlive ? clInfoBk : source;
                    if (canvas.pixelColor(left + x, cell.top() + y) != expected) ++mismatches;
                }
            EXPECT_EQ(mismatches, 0);
        }
        EXPECT_NE(Form().imgChecked->Picture(), Form().imgUnchecked->Picture());
    }));
}

} // namespace
} // namespace pla::test
