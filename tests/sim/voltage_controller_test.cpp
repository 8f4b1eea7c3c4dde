// The simulated controller behind the stand-ins: a change of the control file
// reaches the very next call however close to the one before it comes, and
// the log keeps every line, in order, whoever writes it.
#include <gtest/gtest.h>

#include "SimControl.h"
#include "VoltageController.h"
#include "common/UniqueHandle.h"
#include "nt_test.h"

#include <windows.h>

#include <string>
#include <thread>
#include <vector>

namespace {

sim::VoltageController& controller()
{
    return sim::VoltageController::instance();
}

int nextReading()
{
    const sim::SimSettings settings = controller().refresh();
    unsigned char value = 0;
    controller().transfer(settings, sim::kControllerAddress, sim::kReadingRegister, false, &value, 1);
    return value;
}

FILETIME writeTimeOf(const std::wstring& path)
{
    WIN32_FILE_ATTRIBUTE_DATA attributes{};
    GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &attributes);
    return attributes.ftLastWriteTime;
}

// As a file system with coarse times, or a file copied from elsewhere, leaves it.
void setWriteTime(const std::wstring& path, const FILETIME& time)
{
    const UniqueFileHandle file(CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                            OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(file);
    ASSERT_TRUE(SetFileTime(file.get(), nullptr, nullptr, &time));
}

FILETIME anHourAgo()
{
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER time{{now.dwLowDateTime, now.dwHighDateTime}};
    time.QuadPart -= 3600ULL * 10000000ULL;
    return {time.LowPart, time.HighPart};
}

std::vector<std::string> functions(const std::vector<sim::LogEntry>& entries)
{
    std::vector<std::string> names;
    names.reserve(entries.size());
    for (const sim::LogEntry& entry : entries) {
        names.push_back(entry.function);
    }
    return names;
}

class Controller : public ::testing::Test {
protected:
    nt_test::TempDir folder;
    sim::SimControl control{folder.path()};
};

TEST_F(Controller, EveryChangeOfTheControlFileReachesTheNextCall)
{
    // Values of one width keep the file's size: only its content tells.
    for (int value = 10; value < 60; ++value) {
        control.apply(sim::withRegister25(value));
        ASSERT_EQ(value, nextReading());
    }
}

TEST_F(Controller, ChangesAreSeenWhenWriteTimesCannotTellThem)
{
    // Two writes that a coarse file system gives one time.
    control.apply(sim::withRegister25(10));
    const FILETIME first = writeTimeOf(control.controlPath());
    EXPECT_EQ(10, nextReading());
    control.apply(sim::withRegister25(20));
    setWriteTime(control.controlPath(), first);
    EXPECT_EQ(20, nextReading());

    // Settings read from a file written long ago, then a change.
    control.apply(sim::withRegister25(30));
    setWriteTime(control.controlPath(), anHourAgo());
    EXPECT_EQ(30, nextReading());
    EXPECT_EQ(30, nextReading());
    control.apply(sim::withRegister25(40));
    EXPECT_EQ(40, nextReading());
}

TEST_F(Controller, AControlFileGoneForAMomentKeepsTheSettingsNoVariableGivesTheDefaults)
{
    control.apply(sim::withRegister25(42));
    EXPECT_EQ(42, nextReading());
    DeleteFileW(control.controlPath().c_str());
    EXPECT_EQ(42, nextReading());
    SetEnvironmentVariableW(sim::kControlVariable, nullptr);
    EXPECT_EQ(0, nextReading());
}

TEST_F(Controller, LinesOfTwoThreadsAreAllThereInTheOrderOfTheirTimes)
{
    const sim::SimSettings settings = controller().refresh();
    ASSERT_FALSE(settings.logPath.empty());
    constexpr int kLines = 2000;
    auto writeLines = [&](int thread) {
        for (int line = 0; line < kLines; ++line) {
            controller().log(settings, sim::logLine("Line thread=%d number=%d", thread, line));
        }
    };
    std::thread first(writeLines, 1);
    std::thread second(writeLines, 2);
    first.join();
    second.join();

    const std::vector<sim::LogEntry> entries = control.log("Line");
    ASSERT_EQ(2u * kLines, entries.size());
    int next[] = {0, 0, 0};
    long long lastTime = 0;
    for (const sim::LogEntry& entry : entries) {
        const long long thread = entry.field("thread");
        ASSERT_TRUE(thread == 1 || thread == 2);
        ASSERT_EQ(next[thread]++, entry.field("number"));
        ASSERT_GE(entry.field("time"), lastTime);
        lastTime = entry.field("time");
    }
}

TEST_F(Controller, LinesAreReadableAtOnceAndGoWhereTheSettingsSay)
{
    sim::SimSettings settings = controller().refresh();
    controller().log(settings, "First");
    EXPECT_EQ(std::vector<std::string>{"First"}, functions(control.log()));

    control.clearLog();
    controller().log(settings, "Second");
    EXPECT_EQ(std::vector<std::string>{"Second"}, functions(control.log()));

    settings.logPath = folder.file(L"other-log.txt");
    control.apply(settings);
    controller().log(controller().refresh(), "Third");
    EXPECT_EQ(std::vector<std::string>{"Second"}, functions(control.log()));
    EXPECT_EQ(1u, sim::parseLog(nt_test::readFile(settings.logPath)).size());
}

// A stand-in library in this process keeps its own controller and its own
// handle on the log: neither may write over the other's lines.
TEST_F(Controller, TwoStandInsSharingALogKeepEachOthersLines)
{
    const UniqueLibrary library(LoadLibraryW((nt_test::simDir() + L"\\atipdlxx\\atipdlxx.dll").c_str()));
    ASSERT_TRUE(library);
    using GetAdapterId = int(__cdecl*)(int, int*);
    const auto getAdapterId = reinterpret_cast<GetAdapterId>(
        reinterpret_cast<void*>(GetProcAddress(library.get(), "ATIDL_GetAdapterID")));
    ASSERT_NE(nullptr, getAdapterId);

    const sim::SimSettings settings = controller().refresh();
    constexpr int kRounds = 50;
    for (int round = 0; round < kRounds; ++round) {
        int id = 0;
        getAdapterId(round, &id);
        controller().log(settings, sim::logLine("Here number=%d", round));
    }
    const std::vector<sim::LogEntry> entries = control.log();
    ASSERT_EQ(2u * kRounds, entries.size());
    for (int round = 0; round < kRounds; ++round) {
        EXPECT_EQ("GetAdapterID", entries[2 * round].function);
        EXPECT_EQ(round, entries[2 * round].field("index"));
        EXPECT_EQ("Here", entries[2 * round + 1].function);
    }
}

} // namespace
