#include "distribution/DistEmbCard.h"
#include "framework/services/Zelvora.h"
#include "framework/ui/Dispatch.h"
#include "framework/ui/TButtonFlat.h"
#include "tests/distribution/ScreenFixture.h"

#include <QTemporaryDir>
#include <dlfcn.h>

namespace pla::test {
namespace {

// The module as the host sees it: a library opened by file name, entries found by name.
class ModuleTest : public ScreenTest {
protected:
    void SetUp() override {
        ScreenTest::SetUp();
        handle = dlopen(PLA_MODULE_FILE, RTLD_NOW | RTLD_GLOBAL);
        ASSERT_NE(handle, nullptr) << dlerror();
        iniProc = reinterpret_cast<void (*)()>(dlsym(handle, "IniProc"));
        created = static_cast<bool*>(dlsym(handle, "boIdCriado"));
        form = static_cast<TfrmDistEmbCard**>(dlsym(handle, "frmDistEmbCard"));
        ASSERT_NE(iniProc, nullptr);
        ASSERT_NE(created, nullptr);
        ASSERT_NE(form, nullptr);
    }
    void TearDown() override {
        if (form && *form) TForm::Free(*form);
        ScreenTest::TearDown();
        if (handle) dlclose(handle);
    }

    void* handle = nullptr;
    void (*iniProc)() = nullptr;
    bool* created = nullptr;
    TfrmDistEmbCard** form = nullptr;
};

TEST_F(ModuleTest, ExportsEveryEntryUnderItsPlainName) {
    for (const char* name : {"IniProc", "CriaDistEmbCard", "boIdCriado", "frmDistEmbCard",
                             "Initialize", "Finalize", "GetPackageInfoTable"})
        EXPECT_NE(dlsym(handle, name), nullptr) << name;
    // The entry is the module's own, not one of a library it links.
    Dl_info info{};
    ASSERT_NE(dladdr(dlsym(handle, "IniProc"), &info), 0);
    EXPECT_TRUE(QString::fromLocal8Bit(info.dli_fname).endsWith("libPkg_PLA15400.so"));
}

TEST_F(ModuleTest, IniProcCreatesOnceShowsAgainAndForgetsADestroyedScreen) {
    EXPECT_FALSE(*created);
    iniProc();
    ASSERT_TRUE(*created);
    TfrmDistEmbCard* first = *form;
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->Showing());

    iniProc();
    EXPECT_EQ(*form, first);
    EXPECT_EQ(server->Count("GetGruposServico"), 1);

    TForm::Free(*form);
    EXPECT_FALSE(*created);
    EXPECT_EQ(*form, nullptr);
    iniProc();
    EXPECT_TRUE(*created);
    EXPECT_EQ(server->Count("GetGruposServico"), 2);
}

TEST_F(ModuleTest, HostLoadsTheModuleByNameAndAMissingPrintModuleIsReported) {
    Zelvora::SetModuleFolder(QStringLiteral(PLA_MODULE_DIR));
    EXPECT_TRUE(Zelvora::LoadBPL(QStringLiteral("PLA15400")));
    ASSERT_TRUE(*created);

    // The print module is built beside this one; from a folder without it, it is missing.
    const QTemporaryDir empty;
    Zelvora::SetModuleFolder(empty.path());
    Dispatch([&] { (*form)->sbtImprimir->Click(); });
    const QString shown = NextMessage();
    // The user learns which module is missing; the build machine's path stays in the log.
    EXPECT_EQ(shown, "Módulo de impressão PLA15500 não instalado.");
}

} // namespace
} // namespace pla::test
