// Linked into every test program that builds Qt widgets: one QApplication for the whole run.
#include <gtest/gtest.h>

#include <QApplication>
#include <memory>

namespace {

// The tests run on the offscreen platform unless the environment asks for another
// (QT_QPA_PLATFORM=xcb under xvfb-run checks a real X server).
class QtEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        m_app = std::make_unique<QApplication>(m_argc, m_argv);
    }
    void TearDown() override { m_app.reset(); }

private:
    int m_argc = 1;
    char m_name[16] = "pictavo_tests";
    char* m_argv[2] = {m_name, nullptr};
    std::unique_ptr<QApplication> m_app;
};

[[maybe_unused]] ::testing::Environment* const g_environment =
    ::testing::AddGlobalTestEnvironment(new QtEnvironment);

}  // namespace
