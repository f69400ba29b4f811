#include <QApplication>
#include <gtest/gtest.h>
#include <memory>

// Widgets need a QApplication; the tests run on the offscreen platform.
namespace {
class QtAppEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        if (!QApplication::instance()) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
            static int argc = 1;
            static char name[] = "plafw_qt_tests";
            static char* argv[] = {name, nullptr};
            app_ = std::make_unique<QApplication>(argc, argv);
        }
    }
    void TearDown() override { app_.reset(); }

private:
    std::unique_ptr<QApplication> app_;
};

[[maybe_unused]] auto* const env = ::testing::AddGlobalTestEnvironment(new QtAppEnvironment);
} // namespace
