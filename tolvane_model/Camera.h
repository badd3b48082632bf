#pragma once

#include "pemblon/strings/ostring.h"
#include "tolvane_model/Export.h"
#include "tolvane_model/Thread.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <wx/event.h>

namespace PBN {
class Exception;
}

namespace Tolvane_model {

class CameraListener;

// The one camera of the viewer: opens the first free camera, applies its factory or user
// settings from Config, captures continuously into one image memory of the full sensor size,
// hands out the latest image, changes parameters, records AVI films on a thread of their own and
// optimises the pixel clock on a worker thread.
//
// Every failing camera call throws text 63 of the "Tolvane" string table with "%s" replaced by
// the function's name and the code appended, as a SEVERE PBN::Exception. Nothing is rolled back.
// A line follows that says what the code means to the user where the camera knows it: a camera
// that was unplugged (also for every call made after it was closed for that reason), no camera
// free, a film folder that cannot be written or whose disk is full.
//
// Used from the GUI thread. The recording thread takes the images and feeds the film writer while
// the GUI thread goes on; it ends before any call here changes the camera or the film, and tells
// the end of a film (its length or size reached, a failure) to the GUI thread, which finishes the
// film and calls the listeners there. The optimising Thread never touches this object. Destroying
// the camera never throws: a running film is finished, the camera closed.
class TVM_API Camera : public wxEvtHandler {
public:
    static Camera* getInstance();
    // Closes the camera (finishing a running film first), swallowing camera errors, waits (10 s at
    // most) for clock searches still running, and clears the instance pointer so that the next
    // getInstance builds a new camera.
    ~Camera() override;

    void init();
    void setDefaults();
    void exit();

    // Colour: the library's buffer (maxWidth x maxHeight x 3, R, G, B), not to be freed; while a
    // film is recorded, a copy of it the camera keeps until the next call.
    // Monochrome: a new grey RGB buffer of the same size, allocated with malloc; the caller frees
    // it with free() (or hands it to wxImage, which does). Null when no camera is open or no image
    // is available.
    unsigned char* getActiveImage();
    uint32_t getCamHandle() const;
    PBN::Strings::ostring getName() const;
    PBN::Strings::ostring getSensor() const;
    int getMaxWidth() const;
    int getMaxHeight() const;
    bool isColor() const;

    // Parameters.
    double getGain() const;
    double getRedGain() const;
    double getGreenGain() const;
    double getBlueGain() const;
    void setGain(const int& master, const int& red, const int& green, const int& blue);
    void setAutoGain(const bool& on);
    bool isGainAuto() const;
    int getBrightness() const;
    void setBrightness(const int& brightness);
    int getWidth() const;
    int getHeight() const;
    int getPosX() const;
    int getPosY() const;
    void setDefaultAOI();
    // Centres an area of width x height rounded down to the camera's steps (a step below 1 counts
    // as 1), keeping the exposure time and frame rate. The image memory keeps the full size.
    void setAOI(const int& width, const int& height);
    void doWhiteBalance();
    void stopWhiteBalance();
    double getFrameRate() const;
    void setFrameRate(const double& rate);
    double getExposure() const;
    void setExposure(const double& time);
    void setDefaultGain();
    void setDefaultBrightness();
    void setDefaultExposure();
    void setDefaultFrameRate();
    void saveUserSettings();
    void resetUserSettings();

    // What the live view and the films show around an area of interest smaller than the sensor:
    // R, G, B.
    static constexpr unsigned char outsideArea[3] = {255, 255, 0};

    // Recording. While a recording runs (or is paused) by the same listener, startRecording
    // resumes it with new limits; a negative length, frame rate or maximum size means no length
    // limit, the camera's rate, no size limit. maxSize is in megabytes. The film writer takes the
    // path as the suite's narrow text (Windows-1252): a wide path holding a character that text
    // has not is refused, naming the character. Each frame holds what the live view shows: the
    // area of interest of the moment, outsideArea around it. The frames are taken at the rate on
    // the recording thread; when it is held up, it makes up what it is late for within a quarter
    // of a second, and leaves out what is later than that.
    void startRecording(CameraListener* listener, const PBN::Strings::ostring& path, const double& length,
                        const double& frameRate, const double& maxSize, const long& replayRate);
    // Returns once no frame is being added: none follows until the recording is resumed.
    void pauseRecording();
    // Finishes the film whole (the recording thread ended, the indexes written) and releases the
    // writer; safe at any moment, recording or not. The listeners are not told.
    void stopRecording();

    // Deletes the camera, finishing a running film.
    static void destroyInstance();

    // Removes every entry of the listener, and detaches it from every clock optimisation still
    // running, so that it is not called after its owner is gone.
    void removeListener(const CameraListener* listener);
    // Starts the clock search on a worker thread and returns at once; optimizeEnd follows there.
    void optimizeClock(CameraListener* listener);

private:
    friend class Thread;

    Camera();
    Camera(const Camera&) = delete;
    Camera& operator=(const Camera&) = delete;

    [[noreturn]] void cameraError(const char* function, const int& code) const;
    void check(const char* function, const int& code) const;
    void readAOI(int& x, int& y, int& width, int& height) const;
    // The reason a film could not be written, as its folder tells it.
    PBN::Strings::ostring filmFault() const;
    void endRecording();
    // Ends the recording after a failure: the film is closed, its errors swallowed, and the
    // listeners told.
    void abandonRecording();
    void notifyRecordEnd();
    // The recording thread: one frame per period of the record frame rate, under recordMutex.
    void recordLoop();
    // One frame's work: the size check, one frame, the count-down. False when the film ends
    // (its size or length reached, or a failure, thrown).
    bool recordFrame();
    // The film frame of the latest image: B, G, R rows of maxWidth pixels, the film's area of it,
    // outsideArea where the camera's area of interest does not reach. False without an image.
    bool takeFilmFrame();
    // Runs `change` under recordMutex, between two frames: the recording thread lets it in.
    void controlRecorder(const std::function<void()>& change);
    // Ends the recording thread; the film stays open.
    void joinRecorder();
    // On the GUI thread: the end the recording thread met, unless that film was stopped meanwhile.
    void recorderEnded(unsigned film, std::shared_ptr<PBN::Exception> failure);
    // Everything the destructor does but free the object.
    void close();
    long framesFor(const double& seconds, const double& rate) const;

    uint32_t handle;
    bool lost; // closed because it was unplugged: no camera opened since
    bool color;
    int memoryId;
    char* memory;
    unsigned char sensorInfo[80];

    int filmId;
    std::string filmPath; // as the film writer took it (Windows-1252)
    bool recording;
    double recordLength;
    double remainingLength;
    double recordFrameRate;
    long maxSize;
    long framesDue; // frames still to record, -1 without a length limit
    int filmWidth, filmHeight;

    // The recording thread reads the recording fields above under recordMutex, which it holds
    // through each frame; the GUI thread changes them under it.
    std::thread recorder;
    std::mutex recordMutex;
    std::condition_variable recordWake;
    std::atomic<int> controlsWaiting; // the recording thread gives way to them between frames
    bool recorderPaused;
    bool recorderQuit;
    unsigned filmSerial; // tells the end of one film from a later one's
    std::chrono::steady_clock::time_point nextFrame;
    std::vector<unsigned char> filmFrame; // the recording thread's own
    // Held while the library's image memory is read: a read of the latest image may write a new
    // one into it.
    std::mutex imageMutex;
    std::vector<unsigned char> shownImage; // the GUI thread's copy while a film is recorded

    std::vector<CameraListener*> listeners;

    std::mutex optimizationsMutex;
    std::vector<std::weak_ptr<Thread::Target>> optimizations;

    static Camera* _instance;
};

} // namespace Tolvane_model
