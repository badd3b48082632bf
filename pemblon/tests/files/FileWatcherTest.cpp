#include "pemblon/files/FileWatcher.h"
#include "pemblon/core/ByteArray.h"
#include "pemblon/files/FileStream.h"

#include "pemblon/tests/files/FilesTestSupport.h"

#include <vector>

#include <fcntl.h>
#include <sys/stat.h>

using namespace PBN::Files;
using FilesTest::TempDir;
using FilesTest::writeFile;
using PBN::Strings::ostring;

namespace {

// Sets a file's modification time to the millisecond, so tests need not sleep.
void touch(const std::string& path, long long ms) {
    struct timespec times[2];
    times[0].tv_sec = times[1].tv_sec = ms / 1000;
    times[0].tv_nsec = times[1].tv_nsec = (ms % 1000) * 1000000;
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

struct Seen {
    FileWatcher::ChangeType type;
    wxDateTime previous;
    FileWatcher* watcher;
};

class Recorder : public FileWatcherListener {
public:
    void onFileChangedEvent(FileChangedEvent& event) override {
        seen.push_back({event.data()->type, event.data()->time, event.data()->watcher});
    }
    std::vector<Seen> seen;
};

// Destroys the watcher that calls it.
class Destroyer : public FileWatcherListener {
public:
    void onFileChangedEvent(FileChangedEvent&) override {
        delete watcher;
        watcher = nullptr;
    }
    FileWatcher* watcher = nullptr;
};

class TestStream : public FileStream {};

} // namespace

TEST(FileWatcher, ReportsModificationOnceWithThePreviousTime) {
    TempDir dir;
    const std::string path = dir.file("w.txt");
    writeFile(path, "a");
    touch(path, 1700000000000LL);
    FileWatcher watcher(path.c_str());
    Recorder recorder;
    watcher.addListener(&recorder);
    watcher.addListener(&recorder); // once only
    const wxDateTime first = watcher.lastModificationTime();
    ASSERT_TRUE(first.IsValid());

    watcher.onLapse();
    EXPECT_TRUE(recorder.seen.empty());

    touch(path, 1700000000250LL); // a quarter of a second later: still a change
    watcher.onLapse();
    ASSERT_EQ(recorder.seen.size(), 1u);
    EXPECT_EQ(recorder.seen[0].type, FileWatcher::MODIFIED);
    EXPECT_EQ(recorder.seen[0].previous, first);
    EXPECT_EQ(recorder.seen[0].watcher, &watcher);
    EXPECT_EQ(watcher.lastModificationTime().GetValue(), wxLongLong(1700000000250LL));
    watcher.onLapse();
    EXPECT_EQ(recorder.seen.size(), 1u);

    watcher.removeListener(&recorder);
    touch(path, 1700000001000LL);
    watcher.onLapse();
    EXPECT_EQ(recorder.seen.size(), 1u);
}

TEST(FileWatcher, MissingAtEveryPollThenModifiedOnce) {
    TempDir dir;
    const std::string path = dir.file("w.txt");
    writeFile(path, "a");
    FileWatcher watcher(path.c_str());
    Recorder recorder;
    watcher.addListener(&recorder);
    std::remove(path.c_str());
    watcher.onLapse();
    watcher.onLapse();
    ASSERT_EQ(recorder.seen.size(), 2u);
    EXPECT_EQ(recorder.seen[1].type, FileWatcher::MISSING);
    writeFile(path, "b");
    touch(path, 1600000000000LL);
    watcher.onLapse();
    watcher.onLapse();
    ASSERT_EQ(recorder.seen.size(), 3u);
    EXPECT_EQ(recorder.seen[2].type, FileWatcher::MODIFIED);

    // A path absent at construction reports MODIFIED when it appears.
    FileWatcher later(dir.file("later.txt").c_str());
    EXPECT_FALSE(later.lastModificationTime().IsValid());
    EXPECT_EQ(later.change(), FileWatcher::MISSING);
    writeFile(dir.file("later.txt"), "x");
    wxDateTime previous(1, wxDateTime::Jan, 2000);
    EXPECT_EQ(later.change(&previous), FileWatcher::MODIFIED);
    EXPECT_FALSE(previous.IsValid());
}

TEST(FileWatcher, DirectoriesNamesAndComparison) {
    TempDir dir;
    FileWatcher folder((dir.path().string() + "/").c_str());
    EXPECT_TRUE(folder.exists());
    EXPECT_TRUE(folder.isDir());
    FileWatcher named(dir.path().string().c_str());
    EXPECT_TRUE(named.exists());
    EXPECT_TRUE(named.isDir());
    FileWatcher file(dir.file("none").c_str());
    EXPECT_FALSE(file.exists());
    EXPECT_FALSE(file.isDir());
    EXPECT_TRUE(file == ostring(dir.file("none").c_str()));
    EXPECT_TRUE(file != named);

    FileWatcher none;
    Recorder recorder;
    none.addListener(&recorder);
    wxDateTime previous(1, wxDateTime::Jan, 2000);
    EXPECT_EQ(none.change(&previous), FileWatcher::NO_CHANGE);
    EXPECT_TRUE(previous.IsValid()); // untouched
    none.onLapse();
    EXPECT_TRUE(recorder.seen.empty());
    EXPECT_TRUE(none != none);
    EXPECT_FALSE(none == none);
    EXPECT_FALSE(none.exists());

    FileWatcher copy(file);
    EXPECT_TRUE(copy == file);
    copy = named;
    EXPECT_TRUE(copy == named);
    EXPECT_TRUE(copy.lastModificationTime().IsValid());
}

TEST(FileWatcher, WatchingStateAndListenerThatDestroysTheWatcher) {
    TempDir dir;
    const std::string path = dir.file("w.txt");
    writeFile(path, "a");
    FileWatcher watcher(path.c_str());
    EXPECT_EQ(watcher.lapse(), 0u);
    watcher.startWatching(50);
    EXPECT_EQ(watcher.lapse(), 50u);
    FileWatcher copy(watcher);
    EXPECT_EQ(copy.lapse(), 0u); // copies do not watch
    watcher.startWatching(0);
    EXPECT_EQ(watcher.lapse(), 0u);
    watcher.startWatching(20);
    watcher.stopWatching();
    EXPECT_EQ(watcher.lapse(), 0u);

    auto* doomed = new FileWatcher(path.c_str());
    Destroyer destroyer;
    Recorder after;
    destroyer.watcher = doomed;
    doomed->addListener(&destroyer);
    doomed->addListener(&after);
    touch(path, 1500000000000LL);
    doomed->onLapse(); // must not touch the destroyed watcher
    EXPECT_EQ(destroyer.watcher, nullptr);
    EXPECT_TRUE(after.seen.empty());
}

// A listener that leaves inside its handler makes no other listener miss the change; one it
// registers hears the same change.
TEST(FileWatcher, ListenersChangedDuringANoticeMissNothing) {
    TempDir dir;
    const std::string path = dir.file("w.txt");
    writeFile(path, "a");
    touch(path, 1700000000000LL);
    FileWatcher watcher(path.c_str());
    struct Leaver : FileWatcherListener {
        FileWatcher* watcher = nullptr;
        FileWatcherListener* late = nullptr;
        int calls = 0;
        void onFileChangedEvent(FileChangedEvent&) override {
            ++calls;
            watcher->removeListener(this);
            watcher->addListener(late);
        }
    };
    Recorder after, late;
    Leaver leaver;
    leaver.watcher = &watcher;
    leaver.late = &late;
    watcher.addListener(&leaver);
    watcher.addListener(&after);
    touch(path, 1700000005000LL);
    watcher.onLapse();
    EXPECT_EQ(leaver.calls, 1);
    EXPECT_EQ(after.seen.size(), 1u);
    EXPECT_EQ(late.seen.size(), 1u);
}

TEST(FileStream, ReadingIsAStub) {
    TestStream stream;
    PBN::ByteArray bytes;
    EXPECT_EQ(stream.read(bytes, 10), 0u);
    EXPECT_EQ(bytes.size(), 0u);
}
