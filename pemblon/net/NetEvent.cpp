#include "pemblon/net/NetEvent.h"

namespace PBN::Net {

namespace {

double percent(const double& done, const double& total) {
    if (total == 0.0)
        return -1.0;
    return done / total * 100.0;
}

} // namespace

NetEvent::NetEvent(const double& downloaded, const double& downloadTotal, const double& uploaded,
                   const double& uploadTotal)
    : m_downloaded(downloaded), m_downloadTotal(downloadTotal), m_uploaded(uploaded),
      m_uploadTotal(uploadTotal) {}

NetEvent::NetEvent(const NetEvent& other)
    : Event(), m_downloaded(other.m_downloaded), m_downloadTotal(other.m_downloadTotal),
      m_uploaded(other.m_uploaded), m_uploadTotal(other.m_uploadTotal) {}

NetEvent& NetEvent::operator=(const NetEvent& other) {
    if (this != &other) {
        m_downloaded = other.m_downloaded;
        m_downloadTotal = other.m_downloadTotal;
        m_uploaded = other.m_uploaded;
        m_uploadTotal = other.m_uploadTotal;
    }
    return *this;
}

NetEvent::~NetEvent() = default;

double NetEvent::getDownloaded() const {
    return m_downloaded;
}
double NetEvent::getDownloadTotal() const {
    return m_downloadTotal;
}
double NetEvent::getUploaded() const {
    return m_uploaded;
}
double NetEvent::getUploadTotal() const {
    return m_uploadTotal;
}
double NetEvent::getDownloadedPercent() const {
    return percent(m_downloaded, m_downloadTotal);
}
double NetEvent::getUploadedPercent() const {
    return percent(m_uploaded, m_uploadTotal);
}

} // namespace PBN::Net
