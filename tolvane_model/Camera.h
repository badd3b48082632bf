#pragma once

#include "pemblon/strings/ostring.h"
#include "tolvane_model/Export.h"
#include "tolvane_model/Thread.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include <wx/event.h>
#include <wx/timer.h>

namespace Tolvane_model {

class CameraListener;

// The one camera of the viewer: opens the first free camera, applies its factory or user
// settings from Config, captures continuously into one image memory of the full sensor size,
// hands out the latest image, changes parameters, records AVI films on its timer (id 10) and
// optimises the pixel clock on a worker thread.
//
// Every failing camera call throws text 63 of the "Tolvane" string table with "%s" replaced by
// the function's name and the code appended, as a SEVERE PBN::Exception. Nothing is rolled back.
// A line follows that says what the code means to the user where the camera knows it: a camera
// that was unplugged (also for every call made after it was closed for that reason), no camera
// free, a film folder that cannot be written or whose disk is full.
//
// Used from the GUI thread; only the optimising Thread runs elsewhere, and it never touches this
// object. Destroying the camera never throws: a running film is finished, the camera closed.
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

    // Colour: the library's buffer (maxWidth x maxHeight x 3, R, G, B), not to be freed.
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
    // area of interest of the moment, outsideArea around it.
    void startRecording(CameraListener* listener, const PBN::Strings::ostring& path, const double& length,
                        const double& frameRate, const double& maxSize, const long& replayRate);
    void pauseRecording();
    void stopRecording();
    void onTimer(wxTimerEvent& event);

    // Deletes the camera; asked inside a recording tick, it finishes the film and closes the
    // camera at once, and deletes it once the tick has returned (or at the end of the program).
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
    // One tick's work: the size check, one frame, the count-down. A failure ends the film and is
    // shown.
    void recordFrame();
    void recordFrameAndRearm();
    void armTick();
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
    long framesDue;        // frames still to record, -1 without a length limit
    unsigned controlCount; // bumped by pause and stop, so a tick sees them happen during its yield
    bool inTick;
    bool deleteAfterTick; // closed inside a tick, deleted after it
    std::chrono::steady_clock::time_point armedAt;

    wxTimer timer;
    std::vector<CameraListener*> listeners;

    std::mutex optimizationsMutex;
    std::vector<std::weak_ptr<Thread::Target>> optimizations;

    static Camera* _instance;

    wxDECLARE_EVENT_TABLE();
};

} // namespace Tolvane_model
