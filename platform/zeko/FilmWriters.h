// The film writers behind zeko_tools: one AviWriter per film id, each under its own lock so that
// films of other ids go on meanwhile. Every function is a C entry point's body.
#pragma once

#include "platform/zeko/AviWriter.h"
#include "platform/zeko/CallJournal.h"
#include "platform/zeko/SimulatorSettings.h"

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>

namespace zeko::sim {

class FilmWriters {
public:
    FilmWriters(CallJournal& journal, const SimulatorSettings& settings);

    int aviInit(int* id, uint32_t camera);
    int aviExit(int id);
    int aviSetImageSize(int id, int mode, int width, int height, int x, int y, int padding);
    int aviSetQuality(int id, int quality);
    int aviOpen(int id, const char* path);
    int aviSetFrameRate(int id, double rate);
    int aviStart(int id);
    int aviStop(int id);
    int aviClose(int id);
    int aviAddFrame(int id, const char* frame);
    int aviGetSize(int id, float* sizeKB);

    // Finishes and forgets every film; ids start at 1 again.
    void closeAll();

private:
    struct Film {
        std::mutex mutex;
        AviWriter writer;
    };

    template <class Body>
    int call(const char* function, std::initializer_list<long long> ints,
             std::initializer_list<double> doubles, Body&& body);
    // call() with the writer of film `id` (refused when unknown), under that film's lock.
    template <class Body>
    int filmCall(int id, const char* function, std::initializer_list<long long> ints,
                 std::initializer_list<double> doubles, Body&& body);
    std::shared_ptr<Film> film(int id);

    CallJournal& journal_;
    const SimulatorSettings& settings_;
    std::mutex mutex_;
    std::map<int, std::shared_ptr<Film>> films_;
    int nextFilm_ = 1;
};

} // namespace zeko::sim
