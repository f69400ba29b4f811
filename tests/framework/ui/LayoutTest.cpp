#include "framework/ui/TForm.h"
#include "framework/ui/TGroupBox.h"
#include "framework/ui/TPanel.h"

#include <gtest/gtest.h>

namespace {

TPanel* MakePanel(TForm& owner, TWinControl* parent, TAlign align, int w, int h) {
    auto* p = new TPanel(&owner);
    p->SetBounds(0, 0, w, h);
    p->SetParent(parent);
    p->SetAlign(align);
    return p;
}

TEST(Layout, RegionsTakeStripsInAlignOrder) {
    // A screen-like form: tool panel on top, navigation bar at the bottom, a list on the
    // left, a side column on the right, and the work area in the rest.
    TForm form;
    form.SetBounds(0, 0, 1000, 600);
    TPanel* client = MakePanel(form, &form, TAlign::alClient, 10, 10);
    TPanel* left = MakePanel(form, &form, TAlign::alLeft, 269, 10);
    TPanel* bottom = MakePanel(form, &form, TAlign::alBottom, 10, 27);
    TPanel* top = MakePanel(form, &form, TAlign::alTop, 10, 29);
    TPanel* right = MakePanel(form, &form, TAlign::alRight, 40, 10);
    TPanel* loose = MakePanel(form, &form, TAlign::alNone, 50, 50);
    loose->SetBounds(7, 8, 50, 50);

    EXPECT_EQ(top->BoundsRect(), QRect(0, 0, 1000, 29));
    EXPECT_EQ(bottom->BoundsRect(), QRect(0, 573, 1000, 27));
    EXPECT_EQ(left->BoundsRect(), QRect(0, 29, 269, 544));
    EXPECT_EQ(right->BoundsRect(), QRect(960, 29, 40, 544));
    EXPECT_EQ(client->BoundsRect(), QRect(269, 29, 691, 544));
    EXPECT_EQ(loose->BoundsRect(), QRect(7, 8, 50, 50));

    // Resizing the form and hiding a region lay everything out again.
    form.SetBounds(0, 0, 800, 500);
    left->SetVisible(false);
    EXPECT_EQ(client->BoundsRect(), QRect(0, 29, 760, 444));
    EXPECT_EQ(bottom->BoundsRect(), QRect(0, 473, 800, 27));
    // A new width for an aligned region is honoured along its edge only.
    left->SetVisible(true);
    left->SetWidth(100);
    EXPECT_EQ(left->BoundsRect(), QRect(0, 29, 100, 444));
    EXPECT_EQ(client->BoundsRect(), QRect(100, 29, 660, 444));
}

TEST(Layout, StackedTopRegionsKeepTheirOrderAndNestedContainersFollow) {
    TForm form;
    form.SetBounds(0, 0, 400, 300);
    TPanel* first = MakePanel(form, &form, TAlign::alTop, 10, 20);
    TPanel* second = MakePanel(form, &form, TAlign::alTop, 10, 30);
    EXPECT_EQ(first->Top(), 0);
    EXPECT_EQ(second->Top(), 20);
    second->SetHeight(40); // re-layout keeps the visual order
    EXPECT_EQ(first->Top(), 0);
    EXPECT_EQ(second->BoundsRect(), QRect(0, 20, 400, 40));

    // A group box lays its children out below its caption strip.
    auto* grb = new TGroupBox(&form);
    grb->SetParent(&form);
    grb->SetAlign(TAlign::alClient);
    TPanel* inner = MakePanel(form, grb, TAlign::alClient, 1, 1);
    EXPECT_EQ(grb->BoundsRect(), QRect(0, 60, 400, 240));
    EXPECT_EQ(inner->BoundsRect(), QRect(2, 15, 396, 223));
    form.SetWidth(300);
    EXPECT_EQ(inner->Width(), 296);
}

TEST(Layout, ChangeListenersHearBoundsAndAreRemovable) {
    TForm form;
    form.SetBounds(0, 0, 200, 100);
    TPanel* p = MakePanel(form, &form, TAlign::alClient, 1, 1);
    int bounds = 0;
    int id = p->AddChangeListener([&](TComponent&, TChange c) {
        if (c == TChange::Bounds) ++bounds;
    });
    form.SetWidth(250);
    EXPECT_EQ(bounds, 1);
    p->RemoveChangeListener(id);
    form.SetWidth(260);
    EXPECT_EQ(bounds, 1);
}

} // namespace
