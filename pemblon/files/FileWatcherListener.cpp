#include "pemblon/files/FileWatcherListener.h"

namespace PBN {
namespace Files {

FileWatcherListener::~FileWatcherListener() = default;

void FileWatcherListener::onFileChangedEvent(FileChangedEvent&) {}

} // namespace Files
} // namespace PBN
