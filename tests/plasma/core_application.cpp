// Qt's D-Bus and process classes want an application object; one lives for the whole run.

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <memory>

namespace {

class CoreApplicationEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        if (QCoreApplication::instance() == nullptr) {
            application_ = std::make_unique<QCoreApplication>(argc_, argv_);
        }
    }
    void TearDown() override { application_.reset(); }

private:
    int argc_ = 1;
    char name_[16] = "quillhaven-test";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QCoreApplication> application_;
};

const auto* const environment = ::testing::AddGlobalTestEnvironment(new CoreApplicationEnvironment);

}  // namespace
