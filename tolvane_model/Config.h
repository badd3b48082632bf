#pragma once

#include "pemblon/strings/ostring.h"
#include "pemblon/xml/XMLDoc.h"
#include "tolvane_model/Export.h"

namespace Tolvane_model {

// The viewer's settings file res/config.xml beside the program, held in memory: the language,
// per camera (an element named after the sensor under "CameraSettings") the factory values and
// the user's own values, and the recording values. Every setter rewrites the whole file (through
// a temporary file renamed into place). A missing camera, or a factory value that is missing or
// does not convert, throws text 64 of the "Tolvane" string table (SEVERE).
//
// Additions to the interface: load(path) reads another file (tests), and the user-value and
// recording-value setters, clearUserSettings and resetUserRecordSettings throw text 64 when the
// file could not be written, so that a failed save is never shown as saved. setLanguage, which
// the viewer calls at every start, stays silent about a failed write.
//
// GUI thread only; nothing is locked.
class TVM_API Config {
public:
    static Config* getInstance();

    Config(const Config& other);
    Config& operator=(const Config& other);
    // Clears the instance pointer when it is the instance, so the next getInstance builds anew.
    ~Config();

    // Throws: PBN::XML::XMLException when the file cannot be read; the document is then unchanged.
    void load();
    void load(const PBN::Strings::ostring& path);

    PBN::Strings::ostring getLanguage() const;
    void setLanguage(const PBN::Strings::ostring& language);

    // Factory values of a camera.
    long getMasterGain(const PBN::Strings::ostring& camera) const;
    long getRedGain(const PBN::Strings::ostring& camera) const;
    long getGreenGain(const PBN::Strings::ostring& camera) const;
    long getBlueGain(const PBN::Strings::ostring& camera) const;
    bool getAutoGain(const PBN::Strings::ostring& camera) const;
    long getBrightness(const PBN::Strings::ostring& camera) const;
    double getExposure(const PBN::Strings::ostring& camera) const;
    long getClock(const PBN::Strings::ostring& camera) const;
    long getGamma(const PBN::Strings::ostring& camera) const;
    bool getBLEnable(const PBN::Strings::ostring& camera) const;
    long getBlackLevel(const PBN::Strings::ostring& camera) const;
    long getColorMode(const PBN::Strings::ostring& camera) const;
    long getColorCorrection(const PBN::Strings::ostring& camera) const;

    // User values: false (output untouched) when missing or not convertible. getUserSizes has
    // already written the width when the height fails.
    bool getUserSizes(const PBN::Strings::ostring& camera, int& width, int& height) const;
    bool getUserMasterGain(const PBN::Strings::ostring& camera, long& value) const;
    bool getUserRedGain(const PBN::Strings::ostring& camera, long& value) const;
    bool getUserGreenGain(const PBN::Strings::ostring& camera, long& value) const;
    bool getUserBlueGain(const PBN::Strings::ostring& camera, long& value) const;
    bool getUserAutoGain(const PBN::Strings::ostring& camera, bool& value) const;
    bool getUserBrightness(const PBN::Strings::ostring& camera, long& value) const;
    bool getUserExposure(const PBN::Strings::ostring& camera, double& value) const;
    bool getUserFramerate(const PBN::Strings::ostring& camera, double& value) const;

    void setUserSizes(const PBN::Strings::ostring& camera, const int& width, const int& height);
    void setUserMasterGain(const PBN::Strings::ostring& camera, const long& value);
    void setUserRedGain(const PBN::Strings::ostring& camera, const long& value);
    void setUserGreenGain(const PBN::Strings::ostring& camera, const long& value);
    void setUserBlueGain(const PBN::Strings::ostring& camera, const long& value);
    void setUserAutoGain(const PBN::Strings::ostring& camera, const bool& value);
    void setUserBrightness(const PBN::Strings::ostring& camera, const long& value);
    void setUserExposure(const PBN::Strings::ostring& camera, const double& value);
    void setUserFramerate(const PBN::Strings::ostring& camera, const double& value);

    bool isUserDefined(const PBN::Strings::ostring& camera) const;
    bool clearUserSettings(const PBN::Strings::ostring& camera);

    // Recording values: 0 when missing.
    long getAviUserLength() const;
    long getAviUserFrameRate() const;
    long getAviUserMaxSize() const;
    long getAviUserReplayFrameRate() const;
    void setAviUserLength(const long& value);
    void setAviUserFrameRate(const long& value);
    void setAviUserMaxSize(const long& value);
    void setAviUserReplayFrameRate(const long& value);
    // The doubles are cut toward zero (and held within the range of long).
    void saveUserRecordSettings(const double& length, const double& frameRate, const double& maxSize,
                                const long& replayRate);
    bool isUserRecordingDefined() const;
    void resetUserRecordSettings();

    bool getConfSaved() const;
    void setConfSaved(const bool& saved);
    bool getRecordConfSaved() const;
    void setRecordConfSaved(const bool& saved);

private:
    Config();

    PBN::XML::XMLDoc settings;
    bool confSaved;
    bool recordConfSaved;

    static Config* _instance;
};

} // namespace Tolvane_model
