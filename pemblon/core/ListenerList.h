#pragma once

#include <algorithm>
#include <cstddef>
#include <vector>

namespace PBN {

// The listener registry every producer of the library keeps: pointers, not owned, in
// registration order.
//
// dispatch() walks by index and re-reads the size and the storage at every step, never with
// an iterator: a handler may add a listener (which can reallocate the vector) and that listener
// is then called in the same dispatch. A handler that removes itself shifts the rest down by
// one, so the listener after it is skipped in that dispatch; callers rely on the index walk,
// so this is kept.
template <typename Listener> class ListenerList {
public:
    // A pointer already present is ignored; null is accepted like any other pointer.
    void add(Listener* listener) {
        if (std::find(m_listeners.begin(), m_listeners.end(), listener) == m_listeners.end())
            m_listeners.push_back(listener);
    }

    // Erases the first entry equal to the pointer; an absent pointer changes nothing.
    void remove(Listener* listener) {
        auto it = std::find(m_listeners.begin(), m_listeners.end(), listener);
        if (it != m_listeners.end())
            m_listeners.erase(it);
    }

    bool contains(Listener* listener) const {
        return std::find(m_listeners.begin(), m_listeners.end(), listener) != m_listeners.end();
    }

    std::size_t size() const { return m_listeners.size(); }
    bool empty() const { return m_listeners.empty(); }
    Listener* at(std::size_t i) const { return i < m_listeners.size() ? m_listeners[i] : nullptr; }
    void clear() { m_listeners.clear(); }
    const std::vector<Listener*>& items() const { return m_listeners; }

    // Calls call(listener) on each registered listener, null entries skipped.
    template <typename Call> void dispatch(Call&& call) {
        for (std::size_t i = 0; i < m_listeners.size(); ++i) {
            Listener* listener = m_listeners[i];
            if (listener)
                call(listener);
        }
    }

private:
    std::vector<Listener*> m_listeners;
};

} // namespace PBN
