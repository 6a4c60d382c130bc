#include "platform/single_instance.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

namespace lanqi::platform {
namespace {

namespace fs = std::filesystem;

// Runs `body` in a second process and returns its exit status.
template <typename Body> int inChildProcess(Body body) {
    pid_t pid = fork();
    if (pid == 0) _exit(body());
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

class Instances : public ::testing::Test {
  protected:
    fs::path lock = fs::temp_directory_path() / ("lanqi-instance-" + std::to_string(getpid()));
    ~Instances() override { fs::remove(lock); }
};

TEST_F(Instances, ASecondProcessIsRefusedWhileTheFirstRuns) {
    SingleInstance first(lock);
    ASSERT_TRUE(first.acquired());
    EXPECT_EQ(inChildProcess([&] { return SingleInstance(lock).acquired() ? 0 : 3; }), 3);
    EXPECT_TRUE(first.acquired());
}

TEST_F(Instances, AProcessThatDiedReleasesTheLock) {
    int pipeFds[2];
    ASSERT_EQ(pipe(pipeFds), 0);
    pid_t pid = fork();
    if (pid == 0) {
        SingleInstance held(lock);
        char ok = held.acquired() ? 'y' : 'n';
        (void)!write(pipeFds[1], &ok, 1);
        pause(); // killed below, as a crash would end it
        _exit(0);
    }
    char ok = 0;
    ASSERT_EQ(read(pipeFds[0], &ok, 1), 1);
    EXPECT_EQ(ok, 'y');
    EXPECT_FALSE(SingleInstance(lock).acquired());
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    EXPECT_TRUE(SingleInstance(lock).acquired());
}

TEST_F(Instances, FoldersHaveTheirOwnLock) {
    EXPECT_NE(instanceLockFile("/opt/a"), instanceLockFile("/opt/b"));
    EXPECT_EQ(instanceLockFile("/opt/a"), instanceLockFile("/opt/a"));
}

} // namespace
} // namespace lanqi::platform
