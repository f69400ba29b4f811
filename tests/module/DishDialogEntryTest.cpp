#include "dish_dialog/CriaDadosPrato.h"
#include "dish_dialog/DadosPrato.h"
#include "framework/ui/Dispatch.h"
#include "framework/ui/FormHost.h"
#include "framework/ui/TButtonFlat.h"
#include "framework/ui/TEdit.h"
#include "framework/ui/TLabel.h"
#include "tests/distribution/ScreenFixture.h"

#include <dlfcn.h>
#include <functional>

namespace pla::test {
namespace {

// Plays the user in the dish dialog: one action per opening.
class DialogHost : public FormHost {
public:
    std::function<void(TfrmDadosPrato&)> script;
    int runs = 0;
    void Show(TForm&) override {}
    void Close(TForm&) override {}
    int RunModal(TForm& form) override {
        ++runs;
        if (script) script(dynamic_cast<TfrmDadosPrato&>(form));
        return mrNone;
    }
};

// The dish dialog's entries as the host finds them: by name, through the module's handle.
class DishDialogEntryTest : public ScreenTest {
protected:
    using Entry = bool (*)(double*, double*, const char*, double*, double);
    void SetUp() override {
        ScreenTest::SetUp();
        handle = dlopen(PLA_MODULE_FILE, RTLD_NOW | RTLD_GLOBAL);
        ASSERT_NE(handle, nullptr) << dlerror();
        entry = reinterpret_cast<Entry>(dlsym(handle, "CriaDadosPrato"));
        slot = static_cast<TfrmDadosPrato**>(dlsym(handle, "frmDadosPrato"));
        SetFormHost(&host);
    }
    void TearDown() override {
        SetFormHost(nullptr);
        DestroyDadosPrato();
        ScreenTest::TearDown();
        if (handle) dlclose(handle);
    }
    void* handle = nullptr;
    Entry entry = nullptr;
    TfrmDadosPrato** slot = nullptr;
    DialogHost host;
};

TEST_F(DishDialogEntryTest, TheModuleExportsBothEntriesOfTheDialog) {
    ASSERT_NE(entry, nullptr);
    ASSERT_NE(slot, nullptr);
    // One dialog for the module and the screens: the global the screens use.
    EXPECT_EQ(slot, &frmDadosPrato);
    EXPECT_EQ(*slot, nullptr);

    double diners = 10, quantity = 2.5, extra = 1;
    QString unit;
    host.script = [&](TfrmDadosPrato& f) {
        unit = f.lblUnidade->Caption();
        Dispatch([&] { f.FocusControl(f.edtComensais); });
        Dispatch([&] { f.edtComensais->UserClear(); });
        Dispatch([&] { f.DeliverChar(QLatin1Char('4')); });
        Dispatch([&] { f.sbtConfirma->UserClick(); });
    };
    EXPECT_TRUE(entry(&diners, &quantity, "LT", &extra, 0.25));
    EXPECT_EQ(unit, "LT");
    EXPECT_EQ(diners, 4);
    EXPECT_EQ(quantity, 1);
    EXPECT_EQ(extra, 1);
    EXPECT_NE(*slot, nullptr);

    // Cancelled: untouched; a missing amount opens nothing.
    host.script = [](TfrmDadosPrato& f) { Dispatch([&] { f.sbtCancel->UserClick(); }); };
    EXPECT_FALSE(entry(&diners, &quantity, nullptr, &extra, 0.25));
    EXPECT_EQ(diners, 4);
    EXPECT_FALSE(entry(nullptr, &quantity, "KG", &extra, 0.25));
    EXPECT_EQ(host.runs, 2);
}

} // namespace
} // namespace pla::test
