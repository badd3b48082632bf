// A library whose loading waits: its constructor runs inside dlopen, with the dynamic linker's
// lock held, until the program that loads it says go (or 20 s have passed). The program names
// the word it waits on in ZEKO_WAITING_WORD, as an address: 1 while it waits, 2 to go on.
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <thread>

namespace {

__attribute__((constructor)) void waitWhileLoading() {
    const char* word = std::getenv("ZEKO_WAITING_WORD");
    if (!word)
        return;
    auto* state = reinterpret_cast<std::atomic<int>*>(std::strtoull(word, nullptr, 16));
    state->store(1);
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (state->load() != 2 && std::chrono::steady_clock::now() < giveUp)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

} // namespace
