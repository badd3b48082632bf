#include "pemblon/files/Logger.h"

#include "pemblon/core/Defines.h"
#include "pemblon/core/HelperFuncs.h"
#include "pemblon/xml/XMLAttribute.h"
#include "pemblon/xml/XMLDoc.h"
#include "pemblon/xml/XMLException.h"
#include "pemblon/xml/XMLMixedNode.h"
#include "pemblon/xml/XMLNode.h"
#include "pemblon/xml/XMLProcInst.h"

#include <memory>
#include <sstream>

#include <wx/datetime.h>
#include <wx/filefn.h>
#include <wx/filename.h>

namespace PBN {
namespace Files {

using Strings::ostring;

namespace {

uint64_t multiplier(const Logger::Factor& factor) {
    switch (factor) {
    case Logger::KILOBYTES:
        return 1024ULL;
    case Logger::MEGABYTES:
        return 1048576ULL;
    case Logger::GIGABYTES:
        return 1073741824ULL;
    default:
        return 1ULL;
    }
}

ostring generation(const ostring& prefix, const unsigned int& n, const ostring& suffix) {
    std::ostringstream out;
    out << prefix.str() << n << suffix.str();
    return ostring(out.str(), Defines::appEncoding());
}

// Opens a new message at the end of the log document.
XML::XMLNode appendMessage(XML::XMLDoc& doc, const ostring& time, const ostring& level) {
    XML::XMLNode root = doc.getRoot();
    XML::XMLNode msg;
    if (root.getFirstChild().isNull()) {
        msg = root.addChild("message", -1);
    } else {
        root.castToMixedNode().addText("  ", -1);
        msg = root.addChild("message", -1);
        root.castToMixedNode().addText("\n", -1);
    }
    msg.addAttribute("time", time);
    msg.addAttribute("level", level);
    return msg;
}

// Loads the log and opens a new message in it. An unreadable log is reported, and gives a null
// stream so that the caller can start a fresh one.
LogStream openMessage(const ostring& name, const ostring& time, const ostring& level) {
    try {
        auto doc = std::make_unique<XML::XMLDoc>(name, true, false);
        XML::XMLNode msg = appendMessage(*doc, time, level);
        return LogStream(msg, doc.release());
    } catch (const XML::XMLException& e) {
        e.display(nullptr, false);
    }
    return LogStream();
}

} // namespace

Logger::Logger() : logLevel(Exception::DEBUG0), maxSize(0), maxSizeFactor(BYTES), maxFiles(0) {}

Logger::Logger(const ostring& file, const unsigned int& maxSize_, const Factor& factor,
               const unsigned int& maxFiles_)
    : logFile(file), logLevel(Exception::DEBUG0), maxSize(maxSize_), maxSizeFactor(factor),
      maxFiles(maxFiles_) {}

Logger::Logger(const Logger& other) = default;
Logger& Logger::operator=(const Logger& other) = default;
Logger::~Logger() = default;

void Logger::setLogFile(const ostring& file, const unsigned int& maxSize_, const Factor& factor,
                        const unsigned int& maxFiles_) {
    logFile = file;
    maxSize = maxSize_;
    maxSizeFactor = factor;
    maxFiles = maxFiles_;
}

void Logger::setMaxSize(const unsigned int& maxSize_, const Factor& factor) {
    maxSize = maxSize_;
    maxSizeFactor = factor;
}

void Logger::setMaxFiles(const unsigned int& maxFiles_) {
    maxFiles = maxFiles_;
}

void Logger::setLogLevel(const Exception::Severity& level) {
    logLevel = level;
}

ostring Logger::getRealFilename() const {
    ostring name = logFile;
    name.replaceAll("\\", HelperFuncs::getDirSep());
    if (!wxIsAbsolutePath(name.wxstr()))
        name = HelperFuncs::getAppDir() + name;
    const int pos = name.findFirstOf("%g", 0);
    if (pos < 0)
        return name;
    const ostring prefix = name.substr(0, pos);
    const ostring suffix = name.substr(static_cast<unsigned int>(pos) + 2);
    const uint64_t limit = static_cast<uint64_t>(maxSize) * multiplier(maxSizeFactor);
    for (unsigned int n = 0;;) {
        const ostring candidate = generation(prefix, n, suffix);
        if (!wxFileExists(candidate.wxstr()))
            return candidate;
        const wxULongLong size = wxFileName::GetSize(candidate.wxstr());
        if (size != wxInvalidSize && size.GetValue() < limit)
            return candidate;
        if (++n >= maxFiles)
            break;
    }
    for (unsigned int k = 0; k < maxFiles; ++k)
        wxRemoveFile(generation(prefix, k, suffix).wxstr());
    const ostring first = generation(prefix, 0, suffix);
    clear(first);
    return first;
}

void Logger::clear(const ostring& name) const {
    XML::XMLDoc doc;
    doc.getRoot().setName("log");
    doc.addProcInst("xml-stylesheet", 0).setText("type=\"text/xsl\" href=\"log.xslt\"");
    // A failed write is not thrown: the load that follows reports the missing file.
    doc.save(name, true);
}

void Logger::clear() const {
    clear(getRealFilename());
}

LogStream Logger::logMsg(const Exception::Severity& severity) const {
    if (logFile.size() == 0 || static_cast<int32_t>(severity) < static_cast<int32_t>(logLevel))
        return LogStream();
    const ostring name = getRealFilename();
    if (!wxFileExists(name.wxstr()))
        clear(name);
    const ostring time = XML::XMLDoc::dateToString(wxDateTime::UNow(), true, true, true);
    const ostring level = Exception::severityToString(severity);
    LogStream stream = openMessage(name, time, level);
    if (!stream.isNull())
        return stream;
    // The generation is unreadable (cut off by a crash, say). Keep it for inspection and start a
    // fresh log, or every later message would be lost the same way.
    // Each generation set aside keeps a name of its own: ".bad", then ".bad.2", ".bad.3" ...
    ostring bad = name + ".bad";
    for (unsigned int n = 2; wxFileExists(bad.wxstr()); ++n) {
        std::ostringstream suffix;
        suffix << ".bad." << n;
        bad = name + ostring(suffix.str().c_str());
    }
    if (!wxRenameFile(name.wxstr(), bad.wxstr(), false))
        return LogStream();
    clear(name);
    return openMessage(name, time, level);
}

void Logger::logMsg(const ostring& text, const Exception::Severity& severity) const {
    LogStream stream = logMsg(severity);
    stream << text;
    stream.save(true);
}

void Logger::info(const ostring& text) const {
    logMsg(text, Exception::INFO);
}
void Logger::warning(const ostring& text) const {
    logMsg(text, Exception::WARNING);
}
void Logger::severe(const ostring& text) const {
    logMsg(text, Exception::SEVERE);
}
LogStream Logger::info() const {
    return logMsg(Exception::INFO);
}
LogStream Logger::warning() const {
    return logMsg(Exception::WARNING);
}
LogStream Logger::severe() const {
    return logMsg(Exception::SEVERE);
}

void Logger::logException(const Exception& e) const {
    logMsg(e.getMessage(), e.getSeverity());
}

} // namespace Files
} // namespace PBN
