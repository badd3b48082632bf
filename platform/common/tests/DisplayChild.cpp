#include "platform/common/tests/DisplayChild.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <spawn.h>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace zeko::test {

namespace {

constexpr const char* recordVariable = "ZEKO_CHILD_RECORD";
constexpr const char* removeLine = "remove ";

std::string readFile(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

bool waitFor(const std::function<bool()>& done, std::chrono::milliseconds time) {
    const auto until = std::chrono::steady_clock::now() + time;
    while (!done() && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    return done();
}

pid_t spawn(std::vector<std::string> argv, const std::vector<std::string>& env,
            const std::function<void(posix_spawn_file_actions_t&)>& files) {
    std::vector<char*> args, envp;
    for (auto& arg : argv)
        args.push_back(arg.data());
    args.push_back(nullptr);
    std::vector<std::string> copy = env;
    for (auto& v : copy)
        envp.push_back(v.data());
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    files(actions);
    pid_t pid = 0;
    if (posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), envp.data()) != 0)
        pid = 0;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

void end(pid_t& pid, int signal) {
    if (pid <= 0)
        return;
    kill(pid, signal);
    waitpid(pid, nullptr, 0);
    pid = 0;
}

} // namespace

DisplayChild DisplayChild::run(const Options& options) {
    DisplayChild child;
    char folder[] = "/tmp/zeko_display_child_XXXXXX";
    if (!mkdtemp(folder))
        return child;
    const std::string record = std::string(folder) + "/record", errors = std::string(folder) + "/stderr",
                      ready = std::string(folder) + "/openbox";
    int readyPipe[2];
    if (pipe(readyPipe) != 0)
        return child;
    std::vector<std::string> env;
    for (char** v = environ; *v; ++v)
        if (std::string(*v).rfind("DISPLAY=", 0) != 0)
            env.emplace_back(*v);
    pid_t server = spawn({"Xvfb", "-displayfd", "3", "-screen", "0", "1280x1024x24", "-nolisten", "tcp"}, env,
                         [&](posix_spawn_file_actions_t& actions) {
                             posix_spawn_file_actions_adddup2(&actions, readyPipe[1], 3);
                             posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
                         });
    close(readyPipe[1]);
    char number[32] = {};
    ssize_t got = 0;
    while (server > 0 && got < ssize_t(sizeof number) - 1 && read(readyPipe[0], number + got, 1) == 1 &&
           number[got] != '\n')
        ++got;
    close(readyPipe[0]);
    pid_t manager = 0;
    if (server > 0 && got > 0) {
        env.push_back("DISPLAY=:" + std::string(number, size_t(got)));
        child.display = true;
        if (options.managed) {
            manager = spawn({"openbox", "--startup", "touch " + ready}, env,
                            [](posix_spawn_file_actions_t& actions) {
                                posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
                            });
            child.display = manager > 0 && waitFor([&] { return access(ready.c_str(), F_OK) == 0; },
                                                   std::chrono::seconds(10));
        }
    }
    if (child.display) {
        // The child leaves without its exit handlers: what it makes in the temporary folder (the
        // test environment's own folder) goes with the run's.
        const std::string temporary = std::string(folder) + "/tmp";
        mkdir(temporary.c_str(), 0700);
        env.push_back("TMPDIR=" + temporary);
        env.push_back(std::string(recordVariable) + "=" + record);
        env.insert(env.end(), options.env.begin(), options.env.end());
        pid_t pid =
            spawn({"/proc/self/exe", "--gtest_filter=" + options.test, "--gtest_also_run_disabled_tests"},
                  env, [&](posix_spawn_file_actions_t& actions) {
                      posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
                      posix_spawn_file_actions_addopen(&actions, 2, errors.c_str(),
                                                       O_WRONLY | O_CREAT | O_TRUNC, 0600);
                  });
        if (pid > 0) {
            child.shown = waitFor([&] { return readFile(record).find("shown\n") != std::string::npos; },
                                  std::chrono::seconds(120));
            if (child.shown && options.killDisplay)
                end(server, SIGKILL);
            bool reaped = false;
            child.exited =
                child.shown &&
                waitFor([&] { return reaped = reaped || waitpid(pid, &child.status, WNOHANG) == pid; },
                        std::chrono::seconds(5));
            if (!child.exited) {
                kill(pid, SIGKILL);
                waitpid(pid, &child.status, 0);
            }
        }
    }
    end(manager, SIGTERM);
    end(server, SIGTERM);
    std::istringstream lines(readFile(record));
    std::error_code ignored;
    for (std::string line; std::getline(lines, line);)
        if (line.rfind(removeLine, 0) == 0)
            std::filesystem::remove_all(line.substr(std::strlen(removeLine)), ignored);
        else
            child.happened += line + "\n";
    child.stderrText = readFile(errors);
    std::filesystem::remove_all(folder, ignored);
    return child;
}

void DisplayChild::note(const std::string& what) {
    const char* path = std::getenv(recordVariable);
    if (!path)
        return;
    std::ofstream(path, std::ios::app) << what << '\n' << std::flush;
}

void DisplayChild::leavesBehind(const std::string& path) {
    note(removeLine + path);
}

std::string DisplayChild::ending() const {
    if (!exited)
        return "hung";
    if (WIFEXITED(status))
        return "exit " + std::to_string(WEXITSTATUS(status));
    return "signal " + std::to_string(WTERMSIG(status));
}

} // namespace zeko::test
