// A test program started from a desktop reaches nothing of that desktop: this program starts a
// copy of itself with a live session bus and a user's folders in its environment, as a
// developer's terminal has them, and the copy reports what GLib finds.
#define G_SETTINGS_ENABLE_BACKEND
#include <gio/gio.h>
#include <gio/gsettingsbackend.h>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <pwd.h>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

const char* const reportVariable = "ZEKO_TEST_ENVIRONMENT_REPORT";

// The copy's side: one "key=value" line for each thing the parent checks.
TEST(HermeticEnvironment, Report) {
    if (!std::getenv(reportVariable))
        GTEST_SKIP() << "run by HermeticEnvironment.DesktopIsOutOfReachAndNoFolderIsLeft";
    GError* error = nullptr;
    GDBusConnection* bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, &error);
    std::printf("bus=%s\n", bus ? "connected" : "none");
    if (bus)
        g_object_unref(bus);
    g_clear_error(&error);
    std::printf("settings=%s\n", G_OBJECT_TYPE_NAME(g_settings_backend_get_default()));
    std::printf("config=%s\n", g_get_user_config_dir());
    std::printf("data=%s\n", g_get_user_data_dir());
    std::printf("cache=%s\n", g_get_user_cache_dir());
    std::printf("runtime=%s\n", g_get_user_runtime_dir());
    std::printf("home=%s\n", g_get_home_dir());
    const char* bridge = std::getenv("NO_AT_BRIDGE");
    std::printf("bridge=%s\n", bridge && std::strcmp(bridge, "1") == 0 ? "off" : "on");
    struct stat info {};
    std::printf("runtime_mode=%o\n", stat(g_get_user_runtime_dir(), &info) == 0 ? info.st_mode & 0777 : 0);
    std::printf("pid=%d\n", int(getpid()));
    std::fflush(stdout);
    // As a program killed, or ended by GDK without its exit handlers, ends.
    if (std::getenv("ZEKO_TEST_ENVIRONMENT_KILL"))
        raise(SIGKILL);
}

// A session bus of the "user", for the copy to be tempted by.
class UserBus {
public:
    UserBus() {
        FILE* out = popen(
            "dbus-daemon --session --fork --nopidfile --print-address=1 --print-pid=1 2>/dev/null", "r");
        if (!out)
            return;
        char line[512] = {}, pid[32] = {};
        if (fgets(line, sizeof line, out) && fgets(pid, sizeof pid, out)) {
            line[strcspn(line, "\n")] = 0;
            address = line;
            daemon = static_cast<pid_t>(std::atol(pid));
        }
        pclose(out);
    }
    ~UserBus() {
        if (daemon > 0)
            kill(daemon, SIGTERM);
    }
    std::string address;

private:
    pid_t daemon = -1;
};

// A fresh folder for this test's files.
std::string scratch() {
    std::string path = (std::filesystem::temp_directory_path() / "zeko_env_test_XXXXXX").string();
    return mkdtemp(path.data()) ? path : std::string();
}

std::map<std::string, std::string> runCopy(const std::string& folder,
                                           const std::vector<std::string>& variables) {
    std::vector<std::string> env;
    for (char** v = environ; *v; ++v)
        env.emplace_back(*v);
    env.insert(env.end(), variables.begin(), variables.end());
    env.push_back(std::string(reportVariable) + "=1");
    std::vector<char*> envp;
    for (auto& v : env)
        envp.push_back(v.data());
    envp.push_back(nullptr);

    const std::string out = folder + "/copy.out";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    std::string self = "/proc/self/exe", filter = "--gtest_filter=HermeticEnvironment.Report";
    char* argv[] = {self.data(), filter.data(), nullptr};
    pid_t child = -1;
    const bool started = posix_spawn(&child, self.c_str(), &actions, nullptr, argv, envp.data()) == 0;
    posix_spawn_file_actions_destroy(&actions);
    std::map<std::string, std::string> report;
    if (!started)
        return report;
    int status = 0;
    waitpid(child, &status, 0);
    std::ifstream file(out);
    for (std::string line; std::getline(file, line);)
        if (const auto eq = line.find('='); eq != std::string::npos && line.find(' ') == std::string::npos)
            report[line.substr(0, eq)] = line.substr(eq + 1);
    return report;
}

bool within(const std::string& path, const std::string& folder) {
    return path.rfind(folder + "/", 0) == 0 || path == folder;
}

// The copy's folder is its own and goes with it; the folder of a copy that was killed goes when
// the next program starts, while that of a program still running stays, even one whose process
// this one cannot see (in another process namespace sharing the temporary folder) as long as it
// holds its folder's lock.
TEST(HermeticEnvironment, DesktopIsOutOfReachAndNoFolderIsLeft) {
    UserBus bus;
    ASSERT_FALSE(bus.address.empty()) << "dbus-daemon did not start";
    const std::string folder = scratch();
    ASSERT_FALSE(folder.empty());
    const auto killed = runCopy(folder, {"ZEKO_TEST_ENVIRONMENT_KILL=1"});
    ASSERT_EQ(killed.count("home"), 1u) << "the killed copy printed no report";
    const std::string left = std::filesystem::path(killed.at("home")).parent_path().string();
    ASSERT_TRUE(std::filesystem::exists(left));
    // Named after the killed copy, held by this program.
    const std::string held =
        std::filesystem::path(left).parent_path() / ("zeko_test_env_" + killed.at("pid") + "_held");
    ASSERT_TRUE(std::filesystem::create_directory(held));
    const int lock = open(held.c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_EQ(flock(lock, LOCK_EX), 0);

    const std::string desktop = folder + "/desktop";
    for (const char* sub : {"", "/config", "/data", "/cache", "/run", "/home"})
        std::filesystem::create_directories(desktop + sub);
    const auto report =
        runCopy(folder, {"DBUS_SESSION_BUS_ADDRESS=" + bus.address, "XDG_CONFIG_HOME=" + desktop + "/config",
                         "XDG_DATA_HOME=" + desktop + "/data", "XDG_CACHE_HOME=" + desktop + "/cache",
                         "XDG_RUNTIME_DIR=" + desktop + "/run", "HOME=" + desktop + "/home",
                         "GSETTINGS_BACKEND=dconf", "NO_AT_BRIDGE=0"});
    ASSERT_EQ(report.size(), 10u) << "the copy printed no report";
    EXPECT_EQ(report.at("bus"), "none");
    EXPECT_EQ(report.at("settings"), "GMemorySettingsBackend");
    EXPECT_EQ(report.at("bridge"), "off");
    EXPECT_EQ(report.at("runtime_mode"), "700");

    // All in one folder of the copy's own: neither the desktop's nor the account's home, nor
    // this program's (each program gets a fresh one).
    const std::string account = getpwuid(getuid())->pw_dir;
    const std::string own = std::filesystem::path(report.at("home")).parent_path().string();
    const std::string mine = std::filesystem::path(g_get_home_dir()).parent_path().string();
    EXPECT_NE(own, mine);
    for (const char* key : {"config", "data", "cache", "runtime", "home"}) {
        const std::string& path = report.at(key);
        EXPECT_TRUE(within(path, own)) << key << ": " << path;
        EXPECT_FALSE(within(path, desktop)) << key << ": " << path;
        EXPECT_FALSE(within(path, account)) << key << ": " << path;
    }
    EXPECT_FALSE(std::filesystem::exists(own)) << own;
    EXPECT_FALSE(std::filesystem::exists(left)) << left;
    EXPECT_TRUE(std::filesystem::exists(held));
    EXPECT_TRUE(std::filesystem::exists(mine));
    close(lock);
    std::filesystem::remove_all(held);
    std::filesystem::remove_all(folder);
}

} // namespace
