#include "pemblon/files/FileWatcher.h"

#include "pemblon/files/InternalFileWatcherTimer.h"

#include <sys/stat.h>

namespace PBN {
namespace Files {

using Strings::ostring;

namespace {

bool sameTime(const wxDateTime& a, const wxDateTime& b) {
    return a.IsValid() && b.IsValid() && a.GetValue() == b.GetValue();
}

} // namespace

FileWatcher::FileWatcher() : m_lapse(0) {}

FileWatcher::FileWatcher(const ostring& path) : m_lapse(0), m_fileName(path.wxstr(), wxPATH_NATIVE) {
    if (exists())
        m_lastModification = readModificationTime();
}

FileWatcher::FileWatcher(const FileWatcher& other) : wxEvtHandler(), m_lapse(0) {
    *this = other;
}

FileWatcher& FileWatcher::operator=(const FileWatcher& other) {
    if (this == &other)
        return *this;
    stopWatching();
    m_fileName = other.m_fileName;
    if (exists())
        m_lastModification = readModificationTime();
    return *this;
}

FileWatcher::~FileWatcher() {
    if (m_timer && m_timer->IsRunning())
        m_timer->Stop();
}

void FileWatcher::startWatching(const unsigned int& ms) {
    stopWatching();
    m_lapse = ms;
    if (ms == 0)
        return;
    // Made on first use, so that a watcher that only checks needs no running wx application.
    if (!m_timer)
        m_timer = std::make_unique<Private::InternalFileWatcherTimer>(this);
    m_timer->Start(static_cast<int>(ms), wxTIMER_CONTINUOUS);
}

void FileWatcher::stopWatching() {
    m_lapse = 0;
    if (m_timer && m_timer->IsRunning())
        m_timer->Stop();
}

unsigned int FileWatcher::lapse() const {
    return m_lapse;
}

void FileWatcher::onLapse() {
    wxDateTime previous;
    const ChangeType type = change(&previous);
    if (type == NO_CHANGE)
        return;
    __FileChangedEventData data{this, type, previous};
    FileChangedEvent event(&data);
    // A listener may register or remove listeners, or destroy this watcher, while it runs.
    m_listeners.dispatch([&](FileWatcherListener* listener) { listener->onFileChangedEvent(event); });
}

FileWatcher::ChangeType FileWatcher::change(wxDateTime* previous) {
    if (!m_fileName.IsOk())
        return NO_CHANGE;
    if (previous)
        *previous = m_lastModification;
    if (!exists())
        return MISSING;
    const wxDateTime time = readModificationTime();
    if (!time.IsValid() || sameTime(time, m_lastModification))
        return NO_CHANGE;
    m_lastModification = time;
    return MODIFIED;
}

wxDateTime FileWatcher::readModificationTime() const {
    // wxFileName gives whole seconds here; two writes within one second must still differ.
    const wxString path = m_fileName.IsDir() ? m_fileName.GetPath() : m_fileName.GetFullPath();
    struct stat st;
    if (::stat(path.fn_str(), &st) != 0)
        return wxDateTime();
    const long long ms = static_cast<long long>(st.st_mtim.tv_sec) * 1000 + st.st_mtim.tv_nsec / 1000000;
    return wxDateTime(wxLongLong(ms));
}

wxFileName FileWatcher::filename() const {
    return m_fileName;
}
wxDateTime FileWatcher::lastModificationTime() const {
    return m_lastModification;
}

bool FileWatcher::exists() const {
    if (!m_fileName.IsOk())
        return false;
    if (m_fileName.IsDir())
        return wxFileName::DirExists(m_fileName.GetPath());
    return wxFileName::FileExists(m_fileName.GetFullPath()) ||
           wxFileName::DirExists(m_fileName.GetFullPath());
}

bool FileWatcher::isDir() const {
    if (!m_fileName.IsOk())
        return false;
    if (m_fileName.IsDir())
        return true;
    return wxFileName::DirExists(m_fileName.GetFullPath());
}

bool FileWatcher::operator==(const wxFileName& other) const {
    return m_fileName.IsOk() && other.IsOk() && m_fileName.SameAs(other, wxPATH_NATIVE);
}

bool FileWatcher::operator==(const ostring& other) const {
    return *this == wxFileName(other.wxstr(), wxPATH_NATIVE);
}

bool FileWatcher::operator==(const FileWatcher& other) const {
    return *this == other.m_fileName;
}
bool FileWatcher::operator!=(const wxFileName& other) const {
    return !(*this == other);
}
bool FileWatcher::operator!=(const ostring& other) const {
    return !(*this == other);
}
bool FileWatcher::operator!=(const FileWatcher& other) const {
    return !(*this == other);
}

void FileWatcher::addListener(FileWatcherListener* listener) {
    m_listeners.add(listener);
}
void FileWatcher::removeListener(FileWatcherListener* listener) {
    m_listeners.remove(listener);
}

} // namespace Files
} // namespace PBN
