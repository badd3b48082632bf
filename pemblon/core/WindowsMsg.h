#pragma once

#include <vector>

#include "pemblon/core/Export.h"
#include "platform/win/Win32.h"

namespace PBN {

// A window message carrying untyped object pointers (not owned), sent synchronously to a
// window of this process with the message object itself as WPARAM. The receiver may use the
// objects only during the call.
class PBN_API WindowsMsg {
public:
    explicit WindowsMsg(const unsigned int& msgId);
    WindowsMsg(const WindowsMsg& other);
    WindowsMsg& operator=(const WindowsMsg& other);
    virtual ~WindowsMsg();

    const unsigned int& getMsgId() const;
    void setMsgId(const unsigned int& msgId);
    const bool& hasBeenSent() const;

    unsigned int getObjectsCount() const;
    // Null when i is out of range.
    void* getObjectAt(unsigned int i) const;
    // Inserts at position, or appends when position is negative or at or past the end.
    void insertObject(void* object, const int& position);
    void removeObjectAt(const unsigned int& i);
    // Removes the first entry equal to object.
    void removeObject(void* object);
    void clearObjects();

    // Blocks until the window's procedure returned and gives its result.
    // Throws: Exception (SEVERE) when the window does not exist or belongs to another process;
    // nothing is sent then.
    LRESULT send(HWND window, LPARAM lParam);

protected:
    WindowsMsg();

private:
    unsigned int m_msgId;
    std::vector<void*> m_objects;
    bool m_hasBeenSent;
};

} // namespace PBN
