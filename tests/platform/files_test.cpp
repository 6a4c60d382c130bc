// The POSIX file services: a file locked by another process, the user's data
// folder by the environment, writable folders.
#include "platform/file_in_use.h"
#include "platform/folder_access.h"
#include "platform/user_data_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <optional>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace lanqi::platform {
namespace {

namespace fs = std::filesystem;

class Files : public ::testing::Test {
  protected:
    Files() {
        fs::create_directories(dir);
        std::ofstream(file) << "old";
    }
    ~Files() override { fs::remove_all(dir); }
    fs::path dir = fs::temp_directory_path() / ("lanqi-files-" + std::to_string(getpid()));
    fs::path file = dir / "账单明细.xls";
};

TEST_F(Files, AFileLockedByAnotherProcessIsInUse) {
    EXPECT_EQ(fileInUse(file), FileUse::Free);
    int ready[2], release[2];
    ASSERT_EQ(pipe(ready), 0);
    ASSERT_EQ(pipe(release), 0);
    pid_t pid = fork();
    if (pid == 0) {
        int fd = open(file.c_str(), O_RDWR);
        struct flock lock {};
        lock.l_type = F_WRLCK;
        lock.l_whence = SEEK_SET;
        char ok = fd >= 0 && fcntl(fd, F_SETLK, &lock) == 0 ? 'y' : 'n';
        (void)!write(ready[1], &ok, 1);
        (void)!read(release[0], &ok, 1);
        _exit(0);
    }
    char ok = 0;
    ASSERT_EQ(read(ready[0], &ok, 1), 1);
    EXPECT_EQ(ok, 'y');
    EXPECT_EQ(fileInUse(file), FileUse::InUse);
    (void)!write(release[1], &ok, 1);
    waitpid(pid, nullptr, 0);
    EXPECT_EQ(fileInUse(file), FileUse::Free);
    EXPECT_EQ(fileInUse(dir / "没有.xls"), FileUse::Unknown);
}

TEST_F(Files, WritableFolders) {
    EXPECT_TRUE(folderWritable(dir));
    EXPECT_FALSE(folderWritable(dir / "没有"));
    if (geteuid() != 0) {
        EXPECT_FALSE(folderWritable("/usr/bin"));
    }
}

// Sets an environment variable for one scope, or unsets it.
class ScopedEnv {
  public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        value ? setenv(name, value, 1) : unsetenv(name);
    }
    ~ScopedEnv() { old_ ? setenv(name_, old_->c_str(), 1) : unsetenv(name_); }

  private:
    const char* name_;
    std::optional<std::string> old_;
};

TEST(UserDataFolder, FollowsTheDataHomeThenTheHomeFolder) {
    struct Case {
        const char* dataHome;
        const char* home;
        fs::path expected;
    };
    const Case cases[] = {
        {"/srv/data", "/home/a", "/srv/data"},
        {nullptr, "/home/a", "/home/a/.local/share"},
        {"", "/home/a", "/home/a/.local/share"},
        {"relative/data", "/home/a", "/home/a/.local/share"}, // ignored, as the rule says
    };
    for (const Case& c : cases) {
        ScopedEnv data("XDG_DATA_HOME", c.dataHome);
        ScopedEnv home("HOME", c.home);
        EXPECT_EQ(userDataFolder(), c.expected) << (c.dataHome ? c.dataHome : "(unset)");
    }
    // Without HOME, the account's home folder.
    ScopedEnv data("XDG_DATA_HOME", nullptr);
    ScopedEnv home("HOME", nullptr);
    EXPECT_TRUE(userDataFolder().is_absolute());
}

} // namespace
} // namespace lanqi::platform
