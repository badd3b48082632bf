#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <memory>
#include <thread>

#include "pemblon/core/Event.h"
#include "pemblon/core/ListenerList.h"
#include "pemblon/strings/LangChangedEvent.h"
#include "pemblon/strings/LangChangingEvent.h"
#include "pemblon/strings/StringTableListener.h"

using PBN::Event;
using PBN::ListenerList;

namespace {

class AgedEvent : public Event {
public:
    using Event::Event;
    using Event::reset;
};

struct Listener {
    Listener(std::vector<int>* log = nullptr, int id = 0) : log(log), id(id) {}
    std::vector<int>* log;
    int id;
    std::function<void(Listener*)> action;
    void onEvent(Event&) {
        log->push_back(id);
        if (action)
            action(this);
    }
};

} // namespace

TEST(Event, FreshCopyAndCancel) {
    int data = 0;
    Event e(&data);
    EXPECT_FALSE(e.canceled());
    EXPECT_EQ(e.privateData(), &data);
    EXPECT_LT(e.ticks(), 1000u);
    EXPECT_EQ(e.clock(), 0.0);
    e.cancel(true);
    e.cancel(false);
    EXPECT_FALSE(e.canceled());

    Event copy(e);
    EXPECT_TRUE(copy == e);
    copy.cancel(true);
    EXPECT_TRUE(copy != e);
    Event assigned;
    assigned = e;
    EXPECT_TRUE(assigned == e);
    EXPECT_EQ(assigned.getTimestamp(), e.timestamp());

    std::this_thread::sleep_for(std::chrono::milliseconds(2));
    Event later(&data);
    EXPECT_FALSE(later == e);
}

TEST(Event, AgesWithWallClockNotCpuTime) {
    AgedEvent e;
    // Sleeping uses no CPU: a CPU clock would leave the event at age 0.
    std::this_thread::sleep_for(std::chrono::milliseconds(1100));
    EXPECT_GE(e.getTicks(), 1000u);
    const double seconds = e.getClock(); // whole seconds
    EXPECT_GE(seconds, 1.0);
    EXPECT_EQ(seconds, std::floor(seconds));
    e.reset();
    EXPECT_LT(e.ticks(), 1000u);
}

TEST(ListenerList, AddRemoveKeepOrderAndIgnoreDuplicates) {
    ListenerList<Listener> list;
    Listener a, b, c;
    list.add(&a);
    list.add(&a);
    EXPECT_EQ(list.size(), 1u);
    list.remove(&a);
    EXPECT_TRUE(list.empty());
    list.remove(&a);
    EXPECT_TRUE(list.empty());

    std::vector<int> log;
    a = Listener(&log, 1);
    b = Listener(&log, 2);
    c = Listener(&log, 3);
    list.add(&a);
    list.add(&b);
    list.add(&c);
    list.dispatch([](Listener* l) {
        Event e;
        l->onEvent(e);
    });
    list.remove(&b);
    list.dispatch([](Listener* l) {
        Event e;
        l->onEvent(e);
    });
    EXPECT_EQ(log, (std::vector<int>{1, 2, 3, 1, 3}));

    list.add(nullptr);
    EXPECT_EQ(list.size(), 3u);
    EXPECT_NO_THROW(list.dispatch([](Listener* l) {
        Event e;
        l->onEvent(e);
    }));
}

TEST(ListenerList, ChangesDuringDispatch) {
    ListenerList<Listener> list;
    std::vector<int> log;
    std::vector<Listener> added(40);
    Listener first(&log, 1), second(&log, 2), third(&log, 3);
    // Registering many listeners from a handler reallocates the storage mid-walk.
    bool registered = false;
    first.action = [&](Listener*) {
        if (registered)
            return;
        registered = true;
        for (auto& l : added) {
            l.log = &log;
            l.id = 100;
            list.add(&l);
        }
    };
    list.add(&first);
    list.dispatch([](Listener* l) {
        Event e;
        l->onEvent(e);
    });
    EXPECT_EQ(log.size(), 41u);

    // A listener that removes itself, or one before it, makes no remaining listener miss the
    // event; one removed before its turn is not called.
    ListenerList<Listener> list2;
    log.clear();
    second.action = [&](Listener* self) { list2.remove(self); };
    list2.add(&first);
    list2.add(&second);
    list2.add(&third);
    const auto call = [](Listener* l) {
        Event e;
        l->onEvent(e);
    };
    list2.dispatch(call);
    EXPECT_EQ(log, (std::vector<int>{1, 2, 3}));
    log.clear();
    list2.dispatch(call);
    EXPECT_EQ(log, (std::vector<int>{1, 3}));

    ListenerList<Listener> list3;
    Listener a(&log, 1), b(&log, 2), c(&log, 3), d(&log, 4);
    b.action = [&](Listener*) {
        list3.remove(&a); // before the walk's position
        list3.remove(&c); // not yet called
    };
    for (Listener* l : {&a, &b, &c, &d})
        list3.add(l);
    log.clear();
    list3.dispatch(call);
    EXPECT_EQ(log, (std::vector<int>{1, 2, 4}));

    // Nested dispatches each keep their place.
    ListenerList<Listener> list4;
    Listener x(&log, 1), y(&log, 2), z(&log, 3);
    bool nested = false;
    y.action = [&](Listener* self) {
        if (!nested) {
            nested = true;
            list4.dispatch(call);
        }
        list4.remove(self);
    };
    for (Listener* l : {&x, &y, &z})
        list4.add(l);
    log.clear();
    list4.dispatch(call);
    EXPECT_EQ(log, (std::vector<int>{1, 2, 1, 2, 3, 3}));
}

TEST(ListenerList, AHandlerMayDestroyTheList) {
    auto list = std::make_unique<ListenerList<Listener>>();
    std::vector<int> log;
    Listener a(&log, 1), b(&log, 2);
    a.action = [&](Listener*) { list.reset(); };
    list->add(&a);
    list->add(&b);
    ListenerList<Listener>* raw = list.get();
    EXPECT_FALSE(raw->dispatch([](Listener* l) {
        Event e;
        l->onEvent(e);
    }));
    EXPECT_EQ(log, (std::vector<int>{1}));
}

TEST(StringTableListener, DefaultHandlersDoNothing) {
    struct Quiet : PBN::Strings::StringTableListener {};
    Quiet q;
    PBN::Strings::LangChangingEvent before;
    PBN::Strings::LangChangedEvent after(nullptr);
    q.onLangChangingEvent(before);
    q.onLangChangedEvent(after);
    q.pbnStringTableLangChanging();
    EXPECT_EQ(after.data(), nullptr);
    PBN::Strings::LangChangedEvent copy(after);
    EXPECT_TRUE(copy == after);
}
