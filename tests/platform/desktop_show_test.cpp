// The watched hand-over of a file to the desktop, with stand-in openers on the
// PATH, and what the program learns of this machine.
#include "platform/desktop_show.h"
#include "platform/this_machine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace lanqi::platform {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

class Show : public ::testing::Test {
  protected:
    Show() {
        fs::create_directories(bin);
        std::ofstream(file) << "workbook";
        oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
        ::setenv("PATH", bin.c_str(), 1);
    }
    ~Show() override {
        ::setenv("PATH", oldPath.c_str(), 1);
        fs::remove_all(dir);
    }
    void opener(const std::string& body) {
        std::ofstream(bin / "xdg-open") << "#!/bin/sh\n" << body << "\n";
        ::chmod((bin / "xdg-open").c_str(), 0755);
    }
    // Looks every 20 ms, as the window does, and never blocks.
    DesktopShow::State settle(DesktopShow& show, std::chrono::milliseconds& took) {
        const auto start = Clock::now();
        DesktopShow::State s;
        while ((s = show.state()) == DesktopShow::State::Watching &&
               Clock::now() - start < std::chrono::seconds(10))
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        took = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
        return s;
    }

    fs::path dir = fs::temp_directory_path() / ("lanqi-show-" + std::to_string(::getpid()));
    fs::path bin = dir / "bin";
    fs::path file = dir / "账单明细.xls";
    std::string oldPath;
};

TEST_F(Show, AnOpenerThatFailsIsReportedAndAGoodOrSlowOneIsNot) {
    const struct {
        const char* body;
        DesktopShow::State expected;
    } cases[] = {
        {"exit 0", DesktopShow::State::Shown},
        {"exit 4", DesktopShow::State::Failed},
        {"kill -9 $$", DesktopShow::State::Failed},
        {"exec /bin/sleep 6", DesktopShow::State::Shown}, // still starting: not a failure
    };
    for (const auto& c : cases) {
        opener(c.body);
        const auto start = Clock::now();
        DesktopShow show = showOnDesktop(file);
        EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(1000)) << c.body; // no wait
        std::chrono::milliseconds took{};
        EXPECT_EQ(settle(show, took), c.expected) << c.body;
        EXPECT_LT(took.count(), kShowWatchMs + 1500) << c.body;
        if (c.expected == DesktopShow::State::Failed) {
            EXPECT_NE(show.failure().find("xdg-open"), std::string::npos) << show.failure();
        }
    }
}

TEST_F(Show, NoOpenerOrNoFileIsAnErrorAtOnce) {
    EXPECT_THROW(showOnDesktop(file), OpenError);
    opener("exit 0");
    EXPECT_THROW(showOnDesktop(dir / "别的.xls"), OpenError);
}

TEST(ThisMachine, KnowsItsNameAndItsPrograms) {
    EXPECT_FALSE(hostName().empty());
    const std::vector<std::string> running = runningProgramNames();
    // This test program, under the name the system lists (at most 15 bytes).
    std::string self = fs::read_symlink("/proc/self/exe").filename().string().substr(0, 15);
    EXPECT_NE(std::find(running.begin(), running.end(), self), running.end()) << self;
}

} // namespace
} // namespace lanqi::platform
