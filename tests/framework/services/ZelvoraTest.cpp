#include "framework/services/Zelvora.h"

#include "framework/services/ModuleLoader.h"
#include "framework/services/ScriptedDialogs.h"

#include <QDir>
#include <gtest/gtest.h>

namespace {

class ZelvoraTest : public ::testing::Test {
protected:
    void SetUp() override {
        pla::SetDialogService(&dialogs);
        Zelvora::SetModuleFolder(QStringLiteral(PLA_TEST_MODULE_DIR));
    }
    void TearDown() override {
        pla::ModuleLoader::Instance().Unload(QStringLiteral("TESTMOD"));
        Zelvora::SetModuleFolder({});
        pla::SetDialogService(nullptr);
    }
    QStringList Texts() const {
        QStringList out;
        for (const auto& m : dialogs.Messages())
            out << m.text;
        return out;
    }
    pla::ScriptedDialogs dialogs;
};

} // namespace

TEST_F(ZelvoraTest, MissingModuleIsReportedNamingTheFile) {
    EXPECT_FALSE(Zelvora::LoadBPL(QStringLiteral("PLA15500")));
    ASSERT_EQ(dialogs.Messages().size(), 1);
    const auto& m = dialogs.Messages()[0];
    EXPECT_EQ(m.type, pla::MsgDlgType::Error);
    EXPECT_TRUE(m.text.contains(QDir(PLA_TEST_MODULE_DIR).filePath("libPkg_PLA15500.so")))
        << m.text.toStdString();
}

TEST_F(ZelvoraTest, NamesThatCouldLeaveTheFolderAreRefused) {
    for (const QString& name : {QStringLiteral("../TESTMOD"), QStringLiteral("a/b"), QString()}) {
        EXPECT_FALSE(Zelvora::LoadBPL(name));
    }
    EXPECT_EQ(dialogs.Messages().size(), 3);
    EXPECT_FALSE(pla::ModuleLoader::Instance().IsLoaded(QStringLiteral("../TESTMOD")));
}

TEST_F(ZelvoraTest, ModuleWithoutIniProcIsReportedAndNotKept) {
    EXPECT_FALSE(Zelvora::LoadBPL(QStringLiteral("NOENTRY")));
    ASSERT_EQ(dialogs.Messages().size(), 1);
    const QString text = dialogs.Messages()[0].text;
    EXPECT_TRUE(text.contains(QStringLiteral("libPkg_NOENTRY.so"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("IniProc"))) << text.toStdString();
    EXPECT_FALSE(pla::ModuleLoader::Instance().IsLoaded(QStringLiteral("NOENTRY")));
}

TEST_F(ZelvoraTest, ModuleIsInitialisedOnceAndItsIniProcRunsOnEveryLoad) {
    EXPECT_TRUE(Zelvora::LoadBPL(QStringLiteral("TESTMOD")));
    EXPECT_TRUE(Zelvora::LoadBPL(QStringLiteral("TESTMOD"), QStringLiteral("x")));
    EXPECT_EQ(Texts(), (QStringList{"Initialize", "IniProc 1 null", "IniProc 2 x"}));
    EXPECT_TRUE(Zelvora::BplParam().isNull());

    pla::ModuleLoader::Instance().Unload(QStringLiteral("TESTMOD"));
    EXPECT_EQ(Texts().last(), QStringLiteral("Finalize"));
    EXPECT_FALSE(pla::ModuleLoader::Instance().IsLoaded(QStringLiteral("TESTMOD")));
}

TEST(ZelvoraContext, TodayCanBeFixedAndReleased) {
    Zelvora::SetToday(QDate(2026, 12, 8));
    EXPECT_EQ(Zelvora::Today(), QDate(2026, 12, 8));
    Zelvora::SetToday({});
    EXPECT_EQ(Zelvora::Today(), QDate::currentDate());
}
