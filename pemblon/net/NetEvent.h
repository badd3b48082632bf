#pragma once

#include "pemblon/core/Event.h"
#include "pemblon/core/Export.h"

namespace PBN::Net {

// Progress of one transfer, in bytes, as libcurl reports it. A total of 0 means "not known".
class PBN_API NetEvent : public Event {
public:
    NetEvent(const double& downloaded = 0.0, const double& downloadTotal = 0.0, const double& uploaded = 0.0,
             const double& uploadTotal = 0.0);
    // A copy is a new event (own time stamp and clock, no data, not canceled) with the same
    // amounts.
    NetEvent(const NetEvent& other);
    // Copies the amounts only; the event part stays as it was.
    NetEvent& operator=(const NetEvent& other);
    virtual ~NetEvent();

    double getDownloaded() const;
    double getDownloadTotal() const;
    double getUploaded() const;
    double getUploadTotal() const;
    // -1.0 while the total is 0, else done / total x 100.
    double getDownloadedPercent() const;
    double getUploadedPercent() const;

private:
    double m_downloaded;
    double m_downloadTotal;
    double m_uploaded;
    double m_uploadTotal;
};

} // namespace PBN::Net
