#include "nvapi_fixtures.h"

#include <gtest/gtest.h>

namespace card_test {

namespace {

class NvapiFolder : public ::testing::Environment {
public:
    void SetUp() override
    {
        cookie_ = AddDllDirectory((nt_test::simDir() + L"\\nvapi").c_str());
        ASSERT_NE(nullptr, cookie_) << "cannot add the NVIDIA stand-in's folder to the library search";
    }
    void TearDown() override { RemoveDllDirectory(cookie_); }

private:
    DLL_DIRECTORY_COOKIE cookie_ = nullptr;
};

// Registered before main runs, so it is set up before the first test.
[[maybe_unused]] ::testing::Environment* const nvapiFolder =
    ::testing::AddGlobalTestEnvironment(new NvapiFolder);

} // namespace

std::vector<std::pair<int, int>> NvapiStandIn::writes()
{
    std::vector<std::pair<int, int>> writes;
    for (const sim::LogEntry& entry : control_.log("I2CWrite")) {
        writes.emplace_back(static_cast<int>(entry.field("register")),
                            static_cast<int>(entry.field("value")));
    }
    return writes;
}

} // namespace card_test
