#include "platform/zeko/FilmWriters.h"

#include "platform/zeko/TextCodec.h"
#include "platform/zeko/zeko_tools.h"

namespace zeko::sim {

FilmWriters::FilmWriters(CallJournal& journal, const SimulatorSettings& settings)
    : journal_(journal), settings_(settings) {}

template <class Body>
int FilmWriters::call(const char* function, std::initializer_list<long long> ints,
                      std::initializer_list<double> doubles, Body&& body) {
    return journal_.run(function, ints, doubles, ZKAVI_NO_SUCCESS, body);
}

// A call on a film writer, under the film's own lock so that films of other ids go on meanwhile.
template <class Body>
int FilmWriters::filmCall(int id, const char* function, std::initializer_list<long long> ints,
                          std::initializer_list<double> doubles, Body&& body) {
    return call(function, ints, doubles, [&]() -> int {
        auto f = film(id);
        if (!f)
            return ZKAVI_INVALID_ID;
        std::lock_guard lock(f->mutex);
        return body(f->writer);
    });
}

std::shared_ptr<FilmWriters::Film> FilmWriters::film(int id) {
    std::lock_guard lock(mutex_);
    const auto it = films_.find(id);
    return it == films_.end() ? nullptr : it->second;
}

int FilmWriters::aviInit(int* id, uint32_t camera) {
    return call("zkavi_InitAVI", {camera}, {}, [&]() -> int {
        if (!id)
            return ZKAVI_INVALID_PARAMETER;
        std::lock_guard lock(mutex_);
        auto f = std::make_shared<Film>();
        f->writer.setSegmentLimit(settings_.segmentLimit);
        if (nextFilm_ <= 0)
            nextFilm_ = 1; // 0 means no film to the caller
        *id = nextFilm_++;
        films_[*id] = std::move(f);
        return ZKAVI_SUCCESS;
    });
}

int FilmWriters::aviExit(int id) {
    return call("zkavi_ExitAVI", {id}, {}, [&]() -> int {
        std::shared_ptr<Film> f;
        {
            std::lock_guard lock(mutex_);
            const auto it = films_.find(id);
            if (it == films_.end())
                return ZKAVI_INVALID_ID;
            f = it->second;
            films_.erase(it);
        }
        // Released without a close: the film is still finished, never left half-written.
        std::lock_guard lock(f->mutex);
        if (f->writer.isOpen())
            return f->writer.close();
        return ZKAVI_SUCCESS;
    });
}

int FilmWriters::aviSetImageSize(int id, int mode, int width, int height, int x, int y, int padding) {
    return filmCall(
        id, "zkavi_SetImageSize", {id, mode, width, height, x, y, padding}, {},
        [&](AviWriter& writer) -> int { return writer.setImageSize(width, height, x, y, padding); });
}

int FilmWriters::aviSetQuality(int id, int quality) {
    return filmCall(id, "zkavi_SetImageQuality", {id, quality}, {},
                    [&](AviWriter& writer) -> int { return writer.setQuality(quality); });
}

int FilmWriters::aviOpen(int id, const char* path) {
    return filmCall(id, "zkavi_OpenAVI", {id}, {}, [&](AviWriter& writer) -> int {
        if (!path || !*path)
            return ZKAVI_INVALID_PARAMETER;
        return writer.open(TextCodec::cp1252ToUtf8(path));
    });
}

int FilmWriters::aviSetFrameRate(int id, double rate) {
    return filmCall(id, "zkavi_SetFrameRate", {id}, {rate},
                    [&](AviWriter& writer) -> int { return writer.setFrameRate(rate); });
}

int FilmWriters::aviStart(int id) {
    return filmCall(id, "zkavi_StartAVI", {id}, {}, [&](AviWriter& writer) -> int { return writer.start(); });
}

int FilmWriters::aviStop(int id) {
    return filmCall(id, "zkavi_StopAVI", {id}, {}, [&](AviWriter& writer) -> int { return writer.stop(); });
}

int FilmWriters::aviClose(int id) {
    return filmCall(id, "zkavi_CloseAVI", {id}, {}, [&](AviWriter& writer) -> int { return writer.close(); });
}

int FilmWriters::aviAddFrame(int id, const char* frame) {
    return filmCall(id, "zkavi_AddFrame", {id}, {}, [&](AviWriter& writer) -> int {
        const int result = writer.addFrame(reinterpret_cast<const uint8_t*>(frame));
        const int forced = settings_.forcedAddFrame;
        return (result == ZKAVI_SUCCESS && forced != 0) ? forced : result;
    });
}

int FilmWriters::aviGetSize(int id, float* sizeKB) {
    return call("zkavi_GetAVISize", {id}, {}, [&]() -> int {
        auto f = film(id);
        if (!f)
            return ZKAVI_INVALID_ID;
        if (!sizeKB)
            return ZKAVI_INVALID_PARAMETER;
        const double forced = settings_.forcedAviSize;
        if (forced >= 0) {
            *sizeKB = static_cast<float>(forced);
            return ZKAVI_SUCCESS;
        }
        std::lock_guard lock(f->mutex);
        *sizeKB = static_cast<float>(static_cast<double>(f->writer.size()) / 1024.0);
        return ZKAVI_SUCCESS;
    });
}

void FilmWriters::closeAll() {
    std::map<int, std::shared_ptr<Film>> films;
    {
        std::lock_guard lock(mutex_);
        films.swap(films_);
        nextFilm_ = 1;
    }
    for (auto& [id, f] : films) {
        std::lock_guard lock(f->mutex);
        if (f->writer.isOpen())
            f->writer.close();
    }
}

} // namespace zeko::sim
