#include "pemblon/core/WindowsMsg.h"

#include <algorithm>

#include <wx/intl.h>

#include "pemblon/core/Exception.h"

namespace PBN {

WindowsMsg::WindowsMsg(const unsigned int& msgId) : m_msgId(msgId), m_objects(), m_hasBeenSent(false) {}

WindowsMsg::WindowsMsg() : m_msgId(0), m_objects(), m_hasBeenSent(false) {}

WindowsMsg::WindowsMsg(const WindowsMsg& other) = default;

WindowsMsg& WindowsMsg::operator=(const WindowsMsg& other) = default;

WindowsMsg::~WindowsMsg() = default;

const unsigned int& WindowsMsg::getMsgId() const {
    return m_msgId;
}

void WindowsMsg::setMsgId(const unsigned int& msgId) {
    m_msgId = msgId;
}

const bool& WindowsMsg::hasBeenSent() const {
    return m_hasBeenSent;
}

unsigned int WindowsMsg::getObjectsCount() const {
    return static_cast<unsigned int>(m_objects.size());
}

void* WindowsMsg::getObjectAt(unsigned int i) const {
    return i < m_objects.size() ? m_objects[i] : nullptr;
}

void WindowsMsg::insertObject(void* object, const int& position) {
    if (position >= 0 && static_cast<size_t>(position) < m_objects.size())
        m_objects.insert(m_objects.begin() + position, object);
    else
        m_objects.push_back(object);
}

void WindowsMsg::removeObjectAt(const unsigned int& i) {
    if (i < m_objects.size())
        m_objects.erase(m_objects.begin() + i);
}

void WindowsMsg::removeObject(void* object) {
    auto it = std::find(m_objects.begin(), m_objects.end(), object);
    if (it != m_objects.end())
        m_objects.erase(it);
}

void WindowsMsg::clearObjects() {
    m_objects.clear();
}

LRESULT WindowsMsg::send(HWND window, LPARAM lParam) {
    DWORD processId = 0;
    if (!IsWindow(window) || GetWindowThreadProcessId(window, &processId) == 0 ||
        processId != GetCurrentProcessId())
        throw Exception(Strings::ostring(wxGetTranslation(wxS("Attempted to send message to invalid window"),
                                                          wxS("Pemblon"))),
                        Exception::SEVERE);
    const LRESULT result = SendMessageW(window, m_msgId, reinterpret_cast<WPARAM>(this), lParam);
    m_hasBeenSent = true;
    return result;
}

} // namespace PBN
