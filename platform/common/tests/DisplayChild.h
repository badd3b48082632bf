#pragma once

#include <string>
#include <vector>

namespace zeko::test {

// One of the test program's own tests (a DISABLED_ one) run in a process of its own on a display
// server of its own (Xvfb, with openbox on it when asked), for what ends a program: the display
// server killed under it, a window destroyed from outside. The child says what happened in a
// record file, one line at a time; "shown" tells the parent that it is ready.
class DisplayChild {
public:
    struct Options {
        std::string test;             // the child test's full name, Suite.DISABLED_Name
        bool managed = false;         // openbox on the display
        bool killDisplay = true;      // the display server is killed once the child is shown
        std::vector<std::string> env; // NAME=value for the child, beside DISPLAY and the record's
    };
    bool display = false; // a display server of its own (and openbox, if asked) started
    bool shown =
        false; // the child said it was ready within 120 s (a loaded machine starts a sanitizer child slowly)
    bool exited = false;    // the child ended within 5 s of the display's end (else it is killed)
    int status = -1;        // waitpid's
    std::string happened;   // the child's record
    std::string stderrText; // what the child printed on its standard error

    static DisplayChild run(const Options& options);
    // The child's side: adds a line to the record (flushed at once).
    static void note(const std::string& what);
    // The child's side: names a file or folder it made outside its temporary folder (TMPDIR),
    // which it cannot remove as it leaves; the parent removes it once the child ended.
    static void leavesBehind(const std::string& path);
    // "exit 0", "exit 1", "signal 6", or "hung".
    std::string ending() const;
};

} // namespace zeko::test
