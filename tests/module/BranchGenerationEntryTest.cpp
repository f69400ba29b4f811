#include "branch_generation/DistribuicaoFilial.h"
#include "distribution/DistEmbCard.h"
#include "framework/ui/FormHost.h"
#include "framework/ui/TDateEditPlus.h"
#include "framework/ui/TEdit.h"
#include "tests/distribution/ScreenFixture.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <dlfcn.h>

namespace pla::test {
namespace {

// Records what the branch generation screen shows while it is open, then closes it.
class RecordingHost : public FormHost {
public:
    int runs = 0;
    QString branch;
    QDate date;
    void Show(TForm&) override {}
    void Close(TForm&) override {}
    int RunModal(TForm& form) override {
        ++runs;
        auto& screen = dynamic_cast<TfrmDistribuicaoFilial&>(form);
        branch = screen.edtCdFilial->Text();
        date = screen.depCardapio->GetDate();
        return mrCancel;
    }
};

// The branch generation entries as the host finds them: by name, through the module's handle.
class BranchGenerationEntryTest : public ScreenTest {
protected:
    void SetUp() override {
        ScreenTest::SetUp();
        QJsonObject root = QJsonDocument::fromJson(StandardFixture()).object();
        QJsonObject methods = root.value("methods").toObject();
        methods.insert("GetServicosTransportados",
                       QJsonDocument::fromJson(R"([{"result": {"ok": true, "data": {
            "fields": ["IDMARCADO", "CDGRUPSERV", "CDFILIAL", "CDSERVFILI", "NMSERVICO"],
            "rows": [["N", "001", "0001", "00010", "Almoço"]]}}}])")
                           .array());
        root.insert("methods", methods);
        Serve(QJsonDocument(root).toJson());

        handle = dlopen(PLA_MODULE_FILE, RTLD_NOW | RTLD_GLOBAL);
        ASSERT_NE(handle, nullptr) << dlerror();
        entry = reinterpret_cast<void (*)(const char*, const char*)>(
            dlsym(handle, "CriaDistribuicaoFilial"));
        screenSlot = static_cast<TfrmDistribuicaoFilial**>(dlsym(handle, "frmDistribuicaoFilial"));
        iniProc = reinterpret_cast<void (*)()>(dlsym(handle, "IniProc"));
        form = static_cast<TfrmDistEmbCard**>(dlsym(handle, "frmDistEmbCard"));
        SetFormHost(&host);
    }
    void TearDown() override {
        SetFormHost(nullptr);
        if (screenSlot && *screenSlot) TForm::Free(*screenSlot);
        if (form && *form) TForm::Free(*form);
        ScreenTest::TearDown();
        if (handle) dlclose(handle);
    }

    RecordingHost host;
    void* handle = nullptr;
    void (*entry)(const char*, const char*) = nullptr;
    void (*iniProc)() = nullptr;
    TfrmDistribuicaoFilial** screenSlot = nullptr;
    TfrmDistEmbCard** form = nullptr;
};

TEST_F(BranchGenerationEntryTest, TheModuleExportsBothNamesAndTheCEntryIsItsOwn) {
    ASSERT_NE(entry, nullptr);
    ASSERT_NE(screenSlot, nullptr);
    Dl_info info{};
    ASSERT_NE(dladdr(reinterpret_cast<void*>(entry), &info), 0);
    EXPECT_TRUE(QString::fromLocal8Bit(info.dli_fname).endsWith("libPkg_PLA15400.so"));
    EXPECT_EQ(*screenSlot, nullptr);
}

TEST_F(BranchGenerationEntryTest, OpensThroughTheDistributionScreensConnection) {
    ASSERT_NE(entry, nullptr);
    // Without the distribution screen there is no connection to borrow.
    entry("0001", "2026-12-08");
    EXPECT_EQ(NextMessage(), "Abra a Distribuição do Cardápio antes da Distribuição da Filial.");
    EXPECT_EQ(host.runs, 0);

    iniProc();
    ASSERT_NE(*form, nullptr);
    server->Reset();
    entry("0001", "2026-12-08");
    EXPECT_EQ(host.runs, 1);
    EXPECT_EQ(host.branch, "0001");
    EXPECT_EQ(host.date, QDate(2026, 12, 8));
    EXPECT_EQ(server->Count("GetServicosTransportados"), 1);
    EXPECT_NE(*screenSlot, nullptr);

    // A branch the opening refuses: its message, nothing shown, nothing thrown at the caller.
    entry("9999", nullptr);
    EXPECT_EQ(NextMessage(), "Filial informada não cadastrada.");
    EXPECT_EQ(host.runs, 1);
}

} // namespace
} // namespace pla::test
