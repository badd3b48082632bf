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
// is then called in the same dispatch. A handler may also remove listeners, itself included:
// the walk's position moves with the removal, so every listener still registered after it is
// called exactly once, and one removed before its turn is not called. Dispatches may nest, and
// the list may be destroyed by a handler: the walk then stops.
template <typename Listener> class ListenerList {
public:
    ListenerList() = default;
    // Copies take the listeners, never a dispatch in progress.
    ListenerList(const ListenerList& other) : m_listeners(other.m_listeners) {}
    ListenerList& operator=(const ListenerList& other) {
        m_listeners = other.m_listeners;
        return *this;
    }
    ~ListenerList() {
        for (Walk* walk : m_walks)
            walk->list = nullptr;
    }

    // A pointer already present is ignored; null is accepted like any other pointer.
    void add(Listener* listener) {
        if (std::find(m_listeners.begin(), m_listeners.end(), listener) == m_listeners.end())
            m_listeners.push_back(listener);
    }

    // Erases the first entry equal to the pointer; an absent pointer changes nothing.
    void remove(Listener* listener) {
        auto it = std::find(m_listeners.begin(), m_listeners.end(), listener);
        if (it == m_listeners.end())
            return;
        const std::size_t index = static_cast<std::size_t>(it - m_listeners.begin());
        m_listeners.erase(it);
        // A walk at or past the removed entry steps back with the entries that slid down.
        for (Walk* walk : m_walks)
            if (walk->next > index)
                --walk->next;
    }

    bool contains(Listener* listener) const {
        return std::find(m_listeners.begin(), m_listeners.end(), listener) != m_listeners.end();
    }

    std::size_t size() const { return m_listeners.size(); }
    bool empty() const { return m_listeners.empty(); }
    Listener* at(std::size_t i) const { return i < m_listeners.size() ? m_listeners[i] : nullptr; }
    void clear() {
        m_listeners.clear();
        for (Walk* walk : m_walks)
            walk->next = 0;
    }
    const std::vector<Listener*>& items() const { return m_listeners; }

    // Calls call(listener) on each registered listener, null entries skipped. Returns false
    // when a handler destroyed the list (the walk then stopped), true otherwise.
    template <typename Call> bool dispatch(Call&& call) {
        Walk walk{this, 0};
        m_walks.push_back(&walk);
        struct Unregister {
            Walk& walk;
            ~Unregister() {
                if (walk.list) {
                    auto& walks = walk.list->m_walks;
                    walks.erase(std::find(walks.begin(), walks.end(), &walk));
                }
            }
        } unregister{walk};
        while (walk.list && walk.next < walk.list->m_listeners.size()) {
            Listener* listener = walk.list->m_listeners[walk.next++];
            if (listener)
                call(listener);
        }
        return walk.list != nullptr;
    }

private:
    // One dispatch in progress: the index of the next listener to call.
    struct Walk {
        ListenerList* list;
        std::size_t next;
    };

    std::vector<Listener*> m_listeners;
    std::vector<Walk*> m_walks;
};

} // namespace PBN
