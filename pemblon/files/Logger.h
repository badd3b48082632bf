#pragma once

#include "pemblon/core/Exception.h"
#include "pemblon/core/Export.h"
#include "pemblon/files/LogStream.h"
#include "pemblon/strings/ostring.h"

#include <cstdint>

namespace PBN {
namespace Files {

// Writes an application log as an XML file shown through "log.xslt" beside it: one "message"
// element (time, level) per message at or above the threshold. With "%g" in the file name the
// log keeps maxFiles generations of at most maxSize units each and starts again at generation 0
// when all are full (deleting them).
//
// No file is kept open: each message loads the current generation, appends and saves the whole
// document when its stream is ended. Nothing is locked: two loggers on one file may lose
// messages.
class PBN_API Logger {
public:
    enum Factor : int32_t { BYTES = 0, KILOBYTES = 1, MEGABYTES = 2, GIGABYTES = 3 };

    // Relative names are taken in the program's folder. Touches no file.
    Logger(const Strings::ostring& file, const unsigned int& maxSize, const Factor& factor,
           const unsigned int& maxFiles);
    Logger(const Logger& other);
    Logger& operator=(const Logger& other);
    virtual ~Logger();

    // A stream inside a new message, or a null stream when the message is dropped (no file name,
    // below the threshold). A generation that does not load is shown, kept as name + ".bad"
    // (".bad.2", ".bad.3" ... when that exists) and replaced by an empty log, and the message
    // goes there. Characters XML cannot hold are logged as U+FFFD; a message that cannot be
    // saved is shown.
    virtual LogStream logMsg(const Exception::Severity& severity) const;
    // One whole message, saved at once.
    virtual void logMsg(const Strings::ostring& text, const Exception::Severity& severity) const;
    // Replaces the current generation with an empty log.
    virtual void clear() const;

    void info(const Strings::ostring& text) const;
    void warning(const Strings::ostring& text) const;
    void severe(const Strings::ostring& text) const;
    LogStream info() const;
    LogStream warning() const;
    LogStream severe() const;
    // The exception's raw message at its severity.
    void logException(const Exception& e) const;

    void setLogFile(const Strings::ostring& file, const unsigned int& maxSize, const Factor& factor,
                    const unsigned int& maxFiles);
    void setMaxSize(const unsigned int& maxSize, const Factor& factor);
    void setMaxFiles(const unsigned int& maxFiles);
    void setLogLevel(const Exception::Severity& level);
    const Strings::ostring& getLogFile() const { return logFile; }
    const unsigned int& getMaxSize() const { return maxSize; }
    const Factor& getMaxSizeFactor() const { return maxSizeFactor; }
    const unsigned int& getMaxFiles() const { return maxFiles; }
    const Exception::Severity& getLogLevel() const { return logLevel; }

protected:
    Logger();
    // Writes an empty log to `name` (through a temporary file; a failure leaves no file).
    void clear(const Strings::ostring& name) const;
    // The file the next message goes to, rotating the generations when all are full.
    Strings::ostring getRealFilename() const;

private:
    Strings::ostring logFile;
    Exception::Severity logLevel;
    unsigned int maxSize;
    Factor maxSizeFactor;
    unsigned int maxFiles;
};

} // namespace Files
} // namespace PBN
