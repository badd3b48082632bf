#include "platform/win/WebDownload.h"

#include "platform/common/FileReplacement.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <curl/curl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// What stands at the target's name: nothing, a regular file (which a rename replaces), or
// something else (a link, a pipe, a folder), which is left alone and fails the download.
bool targetReplaceable(const std::string& path, std::string& error) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) {
        if (errno == ENOENT)
            return true;
        error = std::strerror(errno);
        return false;
    }
    if (S_ISREG(info.st_mode))
        return true;
    error = "not a regular file";
    return false;
}

// Where the body goes: a file replacement of the target, begun only once the final answer's
// first bytes arrive (a failed download leaves nothing behind) and committed once the whole
// body is in. The target is checked before the temporary file is made, since a replacement
// would follow a link at the target's name.
struct Sink {
    CURL* curl = nullptr;
    std::string target;
    FileReplacement file;
    bool failed = false;
    std::string error;

    bool open() {
        if (!targetReplaceable(target, error))
            return false;
        FileReplacementOptions options;
        options.newFileMode = 0600;
        if (file.open(target, options))
            return true;
        error = std::strerror(file.failedErrno());
        return false;
    }
    void fail() {
        failed = true;
        if (error.empty())
            error = std::strerror(file.failedErrno());
    }
};

size_t writeChunk(char* data, size_t size, size_t count, void* user) {
    auto* sink = static_cast<Sink*>(user);
    size_t bytes = size * count;
    long status = 0;
    curl_easy_getinfo(sink->curl, CURLINFO_RESPONSE_CODE, &status);
    if (bytes == 0 || status != 200)
        return bytes; // a redirect's or an error page's body is not kept
    if (!sink->file.isOpen() && !sink->open()) {
        sink->fail();
        return 0; // makes libcurl stop with CURLE_WRITE_ERROR
    }
    if (!sink->file.write(data, bytes)) {
        sink->fail();
        return 0;
    }
    return bytes;
}

} // namespace

// Runs one easy handle on a multi handle of its own, so that DownloadCancel can wake the wait.
class DownloadTransfer {
public:
    DownloadTransfer(CURL* curl, DownloadCancel* cancel) : curl_(curl), cancel_(cancel) {
        multi_ = curl_multi_init();
        if (multi_)
            curl_multi_add_handle(multi_, curl_);
        if (cancel_) {
            std::lock_guard lock(cancel_->lock_);
            cancel_->multi_ = multi_;
        }
    }
    ~DownloadTransfer() {
        if (cancel_) {
            std::lock_guard lock(cancel_->lock_);
            cancel_->multi_ = nullptr;
        }
        if (multi_) {
            curl_multi_remove_handle(multi_, curl_);
            curl_multi_cleanup(multi_);
        }
    }
    bool cancelled() const { return cancel_ && cancel_->cancelled(); }

    CURLcode run() {
        if (!multi_)
            return CURLE_OUT_OF_MEMORY;
        for (int running = 1;;) {
            if (cancelled())
                return CURLE_ABORTED_BY_CALLBACK;
            if (curl_multi_perform(multi_, &running) != CURLM_OK)
                return CURLE_RECV_ERROR;
            if (!running)
                break;
            if (curl_multi_poll(multi_, nullptr, 0, 1000, nullptr) != CURLM_OK)
                return CURLE_RECV_ERROR;
        }
        int left = 0;
        while (CURLMsg* message = curl_multi_info_read(multi_, &left))
            if (message->msg == CURLMSG_DONE && message->easy_handle == curl_)
                return message->data.result;
        return CURLE_RECV_ERROR;
    }

private:
    CURL* curl_;
    DownloadCancel* cancel_;
    CURLM* multi_ = nullptr;
};

void DownloadCancel::cancel() {
    std::lock_guard lock(lock_);
    cancelled_ = true;
    if (multi_)
        curl_multi_wakeup(static_cast<CURLM*>(multi_));
}

bool InitWebDownload() {
    return curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
}

void ExitWebDownload() {
    curl_global_cleanup();
}

DownloadResult DownloadToFile(const std::string& url, const std::string& path,
                              const DownloadOptions& options) {
    DownloadResult result;
    CURL* curl = curl_easy_init();
    if (!curl) {
        result.status = DownloadStatus::SessionFailed;
        result.error = "libcurl session could not be made";
        return result;
    }
    Sink sink;
    sink.curl = curl;
    sink.target = path;
    char curlError[CURL_ERROR_SIZE] = {};
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, curlError);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_PROXY, ""); // direct access, as the check asks
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, options.maxRedirects);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, options.connectTimeoutSeconds);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT, options.totalTimeoutSeconds);
    curl_easy_setopt(curl, CURLOPT_BUFFERSIZE, static_cast<long>(options.chunkBytes));
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, writeChunk);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &sink);
    bool cancelled = false;
    CURLcode code;
    {
        DownloadTransfer transfer(curl, options.cancel);
        code = transfer.run();
        cancelled = transfer.cancelled();
    }
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &result.httpStatus);
    curl_easy_cleanup(curl);

    if (cancelled) {
        result.status = DownloadStatus::Cancelled;
        result.error = "cancelled";
    } else if (sink.failed) {
        result.status = DownloadStatus::FileFailed;
        result.error = sink.error;
    } else if (code != CURLE_OK) {
        result.status = DownloadStatus::ConnectFailed;
        result.error = curlError[0] ? curlError : curl_easy_strerror(code);
    } else if (result.httpStatus != 200) {
        result.status = DownloadStatus::HttpError;
        result.error = "HTTP status " + std::to_string(result.httpStatus);
    } else {
        result.status = DownloadStatus::Ok;
    }
    if (result.status == DownloadStatus::Ok && sink.file.isOpen()) {
        if (!targetReplaceable(path, result.error)) {
            result.status = DownloadStatus::FileFailed;
        } else if (!sink.file.commit()) {
            result.status = DownloadStatus::FileFailed;
            result.error = std::strerror(sink.file.failedErrno());
        } else {
            return result;
        }
    }
    sink.file.discard();
    // Nothing was received (a failure, or an empty answer): an older file is not read in its
    // place. Only a regular file goes (its name, not another name of the same file); a link or
    // a pipe stays as it is.
    std::string ignored;
    if (targetReplaceable(path, ignored) && ::unlink(path.c_str()) != 0 && errno != ENOENT &&
        result.status == DownloadStatus::Ok) {
        result.status = DownloadStatus::FileFailed;
        result.error = std::strerror(errno);
    }
    return result;
}
