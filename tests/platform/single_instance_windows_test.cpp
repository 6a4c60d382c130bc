// The single-instance guard between two Windows processes.
#include "platform/executable_folder.h"
#include "platform/single_instance.h"
#include "tests/platform/windows_process.h"

#include <gtest/gtest.h>

namespace lanqi::platform {
namespace {

namespace fs = std::filesystem;
using test::ChildProcess;

class Instances : public ::testing::Test {
  protected:
    fs::path holder = executableFolder() / "instance_holder.exe";
    fs::path lock = fs::temp_directory_path() /
                    ("lanqi-instance-" + std::to_string(::GetCurrentProcessId()) + ".lock");
};

TEST_F(Instances, ASecondProcessIsRefusedWhileTheFirstRuns) {
    SingleInstance first(lock);
    ASSERT_TRUE(first.acquired());
    ChildProcess second(holder, {L"try", lock.native()});
    ASSERT_TRUE(second.started());
    EXPECT_EQ(second.wait(), 3u);
    EXPECT_TRUE(first.acquired());
}

TEST_F(Instances, AProcessThatDiedReleasesTheLock) {
    {
        ChildProcess held(holder, {L"hold", lock.native()});
        ASSERT_TRUE(held.started());
        EXPECT_EQ(held.read(1), "y");
        EXPECT_FALSE(SingleInstance(lock).acquired());
        held.kill();
    }
    EXPECT_TRUE(SingleInstance(lock).acquired());
    EXPECT_FALSE(fs::exists(lock)); // the file went with the last handle
}

TEST_F(Instances, FoldersHaveTheirOwnLockWhateverTheirCase) {
    EXPECT_NE(instanceLockFile("C:/a"), instanceLockFile("C:/b"));
    EXPECT_EQ(instanceLockFile(L"C:\\程序\\澜栖"), instanceLockFile(L"c:\\程序\\澜栖"));
}

} // namespace
} // namespace lanqi::platform
