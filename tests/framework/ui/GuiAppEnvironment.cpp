#include <QGuiApplication>
#include <gtest/gtest.h>
#include <memory>

// Painting text needs a GUI application; the tests run on the offscreen platform.
namespace {
class GuiAppEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        if (!QGuiApplication::instance()) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
            static int argc = 1;
            static char name[] = "plafw_ui_tests";
            static char* argv[] = {name, nullptr};
            app_ = std::make_unique<QGuiApplication>(argc, argv);
        }
    }
    void TearDown() override { app_.reset(); }

private:
    std::unique_ptr<QGuiApplication> app_;
};

[[maybe_unused]] auto* const env = ::testing::AddGlobalTestEnvironment(new GuiAppEnvironment);
} // namespace
