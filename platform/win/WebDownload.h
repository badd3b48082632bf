#pragma once

// Downloads one address into a file through libcurl; only a final HTTP status of 200 counts as
// success. The body replaces the target as FileReplacement replaces a file (a temporary file
// beside it, mode 0600 unless the target has bits of its own, synced and renamed over it),
// begun once the answer's first bytes arrive and committed when it is complete; what stands at
// the target must be a regular file (a link or a pipe fails the download and stays). On failure, and for an
// empty answer, no file is made and an older regular file at the target is removed, so that nothing stale is
// read in its place.
//
// The program calls curl_global_init once at start (InitWebDownload) and curl_global_cleanup at
// exit (ExitWebDownload); Pemblon-linked programs do that through HelperFuncs::initLib instead.

#include <atomic>
#include <mutex>
#include <string>

enum class DownloadStatus {
    Ok,
    SessionFailed, // no libcurl session could be made (the "internet" is unavailable)
    ConnectFailed, // address refused, unreachable, timed out or cut short
    HttpError,     // the server answered with a status other than 200
    FileFailed,    // the target file could not be created or written
    Cancelled,     // DownloadCancel::cancel was called
};

// Stops a download that runs on another thread: the transfer wakes at once and ends with
// Cancelled (a cancel before the download starts makes it end before any traffic).
class DownloadCancel {
public:
    void cancel();
    bool cancelled() const { return cancelled_; }

private:
    friend class DownloadTransfer;
    std::mutex lock_;
    void* multi_ = nullptr; // the running transfer, woken by cancel()
    std::atomic<bool> cancelled_{false};
};

struct DownloadOptions {
    long connectTimeoutSeconds = 10;
    long totalTimeoutSeconds = 30;
    long maxRedirects = 5;
    size_t chunkBytes = 8192;
    DownloadCancel* cancel = nullptr;
};

struct DownloadResult {
    DownloadStatus status = DownloadStatus::SessionFailed;
    long httpStatus = 0;
    std::string error; // libcurl's or the system's text
};

bool InitWebDownload();
void ExitWebDownload();
DownloadResult DownloadToFile(const std::string& url, const std::string& path,
                              const DownloadOptions& options = {});
