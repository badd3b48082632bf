#include "platform/common/FileReplacement.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <dirent.h>
#include <fstream>
#include <random>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

class FileReplacementTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/zeko_replace_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
        target_ = dir_ + "/settings.ini";
    }
    void TearDown() override { std::system(("rm -rf '" + dir_ + "'").c_str()); }

    std::string read(const std::string& path) const {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    std::vector<std::string> entries() const {
        std::vector<std::string> names;
        if (DIR* dir = opendir(dir_.c_str())) {
            while (const dirent* e = readdir(dir))
                if (std::string(e->d_name) != "." && std::string(e->d_name) != "..")
                    names.push_back(e->d_name);
            closedir(dir);
        }
        std::sort(names.begin(), names.end());
        return names;
    }
    mode_t mode(const std::string& path) const {
        struct stat info {};
        stat(path.c_str(), &info);
        return info.st_mode & 07777;
    }

    std::string dir_, target_;
};

TEST_F(FileReplacementTest, ReplacesTheFileALinkNamesAndKeepsItsPermissionBits) {
    std::ofstream(target_) << "old content that is longer";
    chmod(target_.c_str(), 0640);
    const std::string link = dir_ + "/link.ini";
    ASSERT_EQ(symlink(target_.c_str(), link.c_str()), 0);
    ASSERT_TRUE(FileReplacement::replace(link, "new"));
    EXPECT_EQ(read(target_), "new");
    EXPECT_EQ(mode(target_), 0640u);
    struct stat info {};
    lstat(link.c_str(), &info);
    EXPECT_TRUE(S_ISLNK(info.st_mode));

    FileReplacement::Options privateFile;
    privateFile.newFileMode = 0600;
    ASSERT_TRUE(FileReplacement::replace(dir_ + "/new.reg", "x", privateFile));
    EXPECT_EQ(mode(dir_ + "/new.reg"), 0600u);
    EXPECT_EQ(entries(), (std::vector<std::string>{"link.ini", "new.reg", "settings.ini"}));
}

TEST_F(FileReplacementTest, AFailureLeavesTheOldFileAndNoTemporary) {
    std::ofstream(target_) << "old";
    FileReplacement failed;
    EXPECT_FALSE(FileReplacement::replace(dir_ + "/no/such/folder/x", "y", {}, &failed));
    EXPECT_EQ(failed.failedStep(), FileReplacement::Step::Create);
    EXPECT_NE(failed.failureText().find("creating the temporary file: "), std::string::npos);

    FileReplacement::Options refusing;
    refusing.beforeRename = [](const std::string&) { throw 7; };
    EXPECT_THROW(FileReplacement::replace(target_, "new", refusing), int);
    EXPECT_EQ(read(target_), "old");
    EXPECT_EQ(entries(), std::vector<std::string>{"settings.ini"});
}

TEST_F(FileReplacementTest, AStreamReplacesOnlyOnCommitAndCanKeepItsPartAside) {
    std::ofstream(target_) << "old";
    {
        FileReplacement stream;
        ASSERT_TRUE(stream.open(target_));
        ASSERT_TRUE(stream.write("par", 3));
    } // neither committed nor kept: gone
    EXPECT_EQ(entries(), std::vector<std::string>{"settings.ini"});

    FileReplacement partial;
    ASSERT_TRUE(partial.open(target_));
    ASSERT_TRUE(partial.write("part", 4));
    ASSERT_TRUE(partial.keepAs(target_ + ".partial"));
    EXPECT_EQ(read(target_), "old");
    EXPECT_EQ(read(target_ + ".partial"), "part");

    // A kept part never replaces another file: the name is refused and another can be tried.
    FileReplacement second;
    ASSERT_TRUE(second.open(target_));
    ASSERT_TRUE(second.write("second", 6));
    EXPECT_FALSE(second.keepAs(target_ + ".partial"));
    EXPECT_EQ(second.failedErrno(), EEXIST);
    EXPECT_EQ(read(target_ + ".partial"), "part");
    ASSERT_TRUE(second.keepAs(target_ + ".1.partial"));
    EXPECT_EQ(read(target_ + ".1.partial"), "second");
    ASSERT_EQ(::unlink((target_ + ".1.partial").c_str()), 0);

    FileReplacement whole;
    ASSERT_TRUE(whole.open(target_));
    ASSERT_TRUE(whole.write("wh", 2) && whole.write("ole", 3));
    EXPECT_EQ(read(target_), "old");
    ASSERT_TRUE(whole.commit());
    EXPECT_EQ(read(target_), "whole");
    EXPECT_EQ(entries(), (std::vector<std::string>{"settings.ini", "settings.ini.partial"}));
}

TEST_F(FileReplacementTest, OnlyTemporariesOfProcessesThatNoLongerRunAreRemoved) {
    const pid_t child = fork();
    if (child == 0)
        _exit(0);
    waitpid(child, nullptr, 0);
    const std::string dead = target_ + ".tmp" + std::to_string(child) + ".0";
    const std::string live = target_ + ".tmp" + std::to_string(getppid()) + ".3";
    const std::string foreign = target_ + ".tmpnotmine";
    for (const std::string& path : {dead, live, foreign})
        std::ofstream(path) << "x";
    ASSERT_TRUE(FileReplacement::replace(target_, "new"));
    EXPECT_EQ(access(dead.c_str(), F_OK), -1);
    EXPECT_EQ(access(live.c_str(), F_OK), 0);
    EXPECT_EQ(access(foreign.c_str(), F_OK), 0);
}

// A save killed at any point leaves the old file or the new one whole, and what it leaves behind
// does not stop the next save.
TEST_F(FileReplacementTest, SavesKilledAtRandomPointsLeaveAWholeFile) {
    const std::string first(300000, 'a'), second = std::string(200000, 'b') + "end";
    ASSERT_TRUE(FileReplacement::replace(target_, first));
    std::mt19937 random(20240611);
    int leftBehind = 0, replaced = 0;
    // Kills come within two saves' time, measured on the way: on a loaded disk one save (with its
    // fsyncs) can take longer than the 3 ms that suffice on a quiet one.
    useconds_t window = 3000;
    for (int round = 0; round < 100; ++round) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (int n = 0;; ++n)
                FileReplacement::replace(target_, n % 2 ? first : second);
        }
        usleep(std::uniform_int_distribution<useconds_t>(0, window)(random));
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        const std::string content = read(target_);
        ASSERT_TRUE(content == first || content == second) << "round " << round << ": " << content.size();
        leftBehind += entries().size() > 1;
        replaced += content == second;
        const auto start = std::chrono::steady_clock::now();
        ASSERT_TRUE(FileReplacement::replace(target_, content)) << "round " << round;
        const auto save =
            std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start);
        window = std::clamp<useconds_t>(static_cast<useconds_t>(2 * save.count()), window, 200000);
        ASSERT_EQ(entries(), std::vector<std::string>{"settings.ini"}) << "round " << round;
    }
    // The kills did land in the middle of saves, and between them.
    EXPECT_GT(leftBehind, 0);
    EXPECT_GT(replaced, 0);
}

} // namespace
