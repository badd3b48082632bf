#include "tolvane_model/Camera.h"

#include "pemblon/core/Exception.h"
#include "pemblon/strings/StringTable.h"
#include "platform/common/Cp1252.h"
#include "platform/zeko/zeko_api.h"
#include "platform/zeko/zeko_tools.h"
#include "tolvane_model/CameraListener.h"
#include "tolvane_model/Config.h"
#include "tolvane_model/FilmFolder.h"
#include "tolvane_model/StringIds.h"

#include <algorithm>
#include <chrono>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <iterator>
#include <memory>
#include <string>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

#include <wx/app.h>
#include <wx/filefn.h>
#include <wx/module.h>
#include <wx/utils.h>

using PBN::Strings::ostring;

namespace Tolvane_model {

namespace {

constexpr size_t sensorNameBytes = 32;
// How late the recording thread may be and still make up the frames it is late for.
constexpr std::chrono::milliseconds catchUpLimit{250};

// The time between two frames of a rate, at least 1 ms (and at most a day).
std::chrono::steady_clock::duration periodFor(const double& rate) {
    const double seconds = std::clamp(1.0 / rate, 0.001, 86400.0);
    return std::chrono::duration_cast<std::chrono::steady_clock::duration>(
        std::chrono::duration<double>(seconds));
}

// Megabytes as a long: negative or NaN means no limit (-1), large values stay within long.
long sizeLimit(const double& megabytes) {
    if (std::isnan(megabytes) || megabytes < 0.0)
        return -1;
    if (megabytes >= static_cast<double>(LONG_MAX))
        return LONG_MAX;
    return static_cast<long>(megabytes);
}

// Each grey byte becomes three equal channels.
void expandGreyPlain(const unsigned char* grey, unsigned char* rgb, size_t pixels) {
    for (size_t i = 0; i < pixels; ++i) {
        const unsigned char v = grey[i];
        rgb[3 * i] = v;
        rgb[3 * i + 1] = v;
        rgb[3 * i + 2] = v;
    }
}

#if defined(__x86_64__) || defined(__i386__)
// Sixteen pixels at a time: three byte shuffles turn 16 grey bytes into 48 RGB bytes.
__attribute__((target("ssse3"))) void expandGreySsse3(const unsigned char* grey, unsigned char* rgb,
                                                      size_t pixels) {
    const __m128i first = _mm_setr_epi8(0, 0, 0, 1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 4, 5);
    const __m128i second = _mm_setr_epi8(5, 5, 6, 6, 6, 7, 7, 7, 8, 8, 8, 9, 9, 9, 10, 10);
    const __m128i third = _mm_setr_epi8(10, 11, 11, 11, 12, 12, 12, 13, 13, 13, 14, 14, 14, 15, 15, 15);
    size_t i = 0;
    for (; i + 16 <= pixels; i += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(grey + i));
        __m128i* out = reinterpret_cast<__m128i*>(rgb + 3 * i);
        _mm_storeu_si128(out, _mm_shuffle_epi8(v, first));
        _mm_storeu_si128(out + 1, _mm_shuffle_epi8(v, second));
        _mm_storeu_si128(out + 2, _mm_shuffle_epi8(v, third));
    }
    expandGreyPlain(grey + i, rgb + 3 * i, pixels - i);
}
#endif

// The path as the film writer takes it, in the suite's narrow text: narrow text as it is, wide
// text in Windows-1252. False when a character has no byte there; `refused` then holds it.
bool filmPathBytes(const ostring& path, std::string& bytes, wchar_t& refused) {
    if (!path.isUnicode()) {
        bytes = path.str();
        return true;
    }
    bytes.clear();
    for (const wchar_t c : path.wstr()) {
        const int byte = Cp1252::fromUnicode(static_cast<char32_t>(c));
        if (byte < 0 || c == L'\0') {
            refused = c;
            return false;
        }
        bytes += static_cast<char>(byte);
    }
    return true;
}

// Narrow text of the suite shown whole: each byte as its Windows-1252 character.
ostring wideText(const std::string& narrow) {
    std::wstring text;
    for (const unsigned char c : narrow)
        text += static_cast<wchar_t>(Cp1252::toUnicode(c));
    return ostring(text);
}

// A character named so that it is seen even when it prints as nothing: "x" (U+0078).
ostring characterName(const wchar_t& c) {
    wchar_t code[16];
    std::swprintf(code, std::size(code), L"%04X", static_cast<unsigned>(c));
    return ostring(std::wstring(L"\"") + c + L"\" (U+" + code + L")");
}

void expandGrey(const unsigned char* grey, unsigned char* rgb, size_t pixels) {
#if defined(__x86_64__) || defined(__i386__)
    static const bool ssse3 = __builtin_cpu_supports("ssse3");
    if (ssse3) {
        expandGreySsse3(grey, rgb, pixels);
        return;
    }
#endif
    expandGreyPlain(grey, rgb, pixels);
}

} // namespace

// The camera goes with the toolkit at the latest, so that a film still recorded is finished.
class CameraModule : public wxModule {
public:
    bool OnInit() override { return true; }
    void OnExit() override { Camera::destroyInstance(); }

private:
    wxDECLARE_DYNAMIC_CLASS(CameraModule);
};

Camera* Camera::_instance = nullptr;

Camera* Camera::getInstance() {
    if (!_instance)
        _instance = new Camera();
    return _instance;
}

Camera::Camera()
    : handle(0), lost(false), color(true), memoryId(0), memory(nullptr), sensorInfo{}, filmId(0),
      recording(false), recordLength(-1.0), remainingLength(-1.0), recordFrameRate(-1.0), maxSize(-1),
      framesDue(-1), filmWidth(0), filmHeight(0), controlsWaiting(0), recorderPaused(false),
      recorderQuit(false), filmSerial(0) {}

Camera::~Camera() {
    close();
    if (_instance == this)
        _instance = nullptr;
}

void Camera::close() {
    try {
        exit();
    } catch (...) {
        // A camera that fails to close must not end the program.
    }
    joinRecorder();
    // The camera goes when the program ends: a clock search still running must end first (its
    // own time limit is 5 s), or the toolkit's end of program pulls its thread state from under it.
    Thread::waitForAll(std::chrono::seconds(10));
}

void Camera::destroyInstance() {
    Camera* camera = _instance;
    delete camera;
}

void Camera::cameraError(const char* function, const int& code) const {
    const PBN::Strings::StringTable& table = PBN::Strings::StringTable::get();
    ostring message = table.getString("Tolvane", ids::CameraError);
    message.replaceAll("%s", function);
    message << code;
    // The call's name and code alone do not tell the user what happened. The library answers an
    // unplugged camera as a handle it does not know, and a start when every camera is taken (or
    // none is there) as no camera found. A camera closed because it was unplugged stays gone for
    // the calls that still come (a Properties dialog left open), until one is opened again.
    if (code == ZK_INVALID_CAMERA_HANDLE && (handle != 0 || lost)) {
        ostring gone = table.getString("Tolvane", ids::CameraGone);
        gone.replaceAll("%s", getName());
        message = message + "\n" + gone;
    } else if (code == ZK_NO_CAMERA_FOUND && handle == 0) {
        message = message + "\n" + table.getString("Tolvane", ids::NoFreeCamera);
    } else if (code == ZKAVI_FILE_ERROR && std::strncmp(function, "zkavi_", 6) == 0 && !filmPath.empty()) {
        message = message + "\n" + filmFault();
    }
    throw PBN::Exception(message, PBN::Exception::SEVERE);
}

ostring Camera::filmFault() const {
    const PBN::Strings::StringTable& table = PBN::Strings::StringTable::get();
    const std::string::size_type slash = filmPath.rfind('/');
    const std::string folder =
        slash == std::string::npos ? std::string(".") : filmPath.substr(0, slash ? slash : 1);
    // A full disk cuts a frame short; the writer gives back its part, which is less than a whole
    // uncompressed frame.
    const uint64_t frame = static_cast<uint64_t>(getMaxWidth()) * static_cast<uint64_t>(getMaxHeight()) * 3;
    ostring reason;
    ostring place = wideText(folder);
    switch (filmFolderState(Cp1252::toUtf8(folder), std::max<uint64_t>(frame, 65536))) {
    case FilmFolder::NotWritable:
        reason = ostring(table.getString("Tolvane", ids::FolderNotWritable).wstr());
        break;
    case FilmFolder::Full:
        reason = ostring(table.getString("Tolvane", ids::DiskFull).wstr());
        break;
    case FilmFolder::Writable:
        reason = ostring(table.getString("Tolvane", ids::SettingsNotWritten).wstr());
        place = wideText(filmPath);
        break;
    }
    reason.replaceAll(ostring(L"%s"), place);
    return reason;
}

void Camera::check(const char* function, const int& code) const {
    if (code != 0)
        cameraError(function, code);
}

// ---------------------------------------------------------------- start, settings, image

void Camera::init() {
    exit();
    handle = 0;
    check("zk_InitCamera", zk_InitCamera(&handle, nullptr));
    lost = false;
    check("zk_GetSensorInfo", zk_GetSensorInfo(handle, sensorInfo));
    color = !getName().glob("*-M");
    setDefaults();
    check("zk_CaptureVideo", zk_CaptureVideo(handle, 1));
}

void Camera::setDefaults() {
    Config* config = Config::getInstance();
    const ostring name = getName();
    const bool user = config->isUserDefined(name);

    if (!user) {
        setDefaultGain();
        setDefaultBrightness();
        setDefaultFrameRate();
    } else {
        long master = 0, red = 0, green = 0, blue = 0, brightness = 0;
        bool autoGain = true;
        config->getUserMasterGain(name, master);
        config->getUserRedGain(name, red);
        config->getUserGreenGain(name, green);
        config->getUserBlueGain(name, blue);
        config->getUserAutoGain(name, autoGain);
        setGain(static_cast<int>(master), static_cast<int>(red), static_cast<int>(green),
                static_cast<int>(blue));
        setAutoGain(autoGain);
        config->getUserBrightness(name, brightness);
        setBrightness(static_cast<int>(brightness));
    }

    check("zk_SetGamma", zk_SetGamma(handle, static_cast<int>(config->getGamma(name))));
    if (config->getBLEnable(name))
        check("zk_SetBlCompensation",
              zk_SetBlCompensation(handle, 1, static_cast<int>(config->getBlackLevel(name)), 0));
    else
        check("zk_SetBlCompensation", zk_SetBlCompensation(handle, 0, 0, 0));
    check("zk_SetColorCorrection",
          zk_SetColorCorrection(handle, static_cast<int>(config->getColorCorrection(name)), nullptr));
    check("zk_SetColorMode", zk_SetColorMode(handle, color ? ZK_CM_RGB24 : ZK_CM_MONO8));
    check("zk_SetPixelClock", zk_SetPixelClock(handle, static_cast<int>(config->getClock(name))));

    // A user exposure or rate that is missing or unreadable is not applied: 0 is no valid value.
    double exposure = 0.0;
    if (!user)
        setDefaultExposure();
    else if (config->getUserExposure(name, exposure))
        setExposure(exposure);

    double value = 128.0, second = 0.0;
    check("zk_SetAutoParameter", zk_SetAutoParameter(handle, ZK_SET_AUTO_REFERENCE, &value, &second));
    value = 0.0;
    second = 0.0;
    check("zk_SetAutoParameter", zk_SetAutoParameter(handle, ZK_SET_ENABLE_AUTO_SHUTTER, &value, &second));
    check("zk_SetAutoParameter",
          zk_SetAutoParameter(handle, ZK_SET_ENABLE_AUTO_WHITEBALANCE, &value, &second));
    zk_fn333(handle, 2, 0);
    check("zk_SetBinning", zk_SetBinning(handle, 0));

    // Incomplete user sizes fall back to the full sensor, so a broken file never blocks the start.
    int width = 0, height = 0;
    if (user && config->getUserSizes(name, width, height))
        setAOI(width, height);
    else
        check("zk_SetImageSize", zk_SetImageSize(handle, getMaxWidth(), getMaxHeight()));

    check("zk_SetDisplayMode", zk_SetDisplayMode(handle, 1));
    check("zk_AllocImageMem",
          zk_AllocImageMem(handle, getMaxWidth(), getMaxHeight(), color ? 24 : 8, &memory, &memoryId));
    check("zk_SetImageMem", zk_SetImageMem(handle, memory, memoryId));
    check("zk_ClearSequence", zk_ClearSequence(handle));
    check("zk_AddToSequence", zk_AddToSequence(handle, memory, memoryId));
    check("zk_SetExternalTrigger", zk_SetExternalTrigger(handle, 0));

    if (user) {
        double rate = 0.0;
        if (config->getUserFramerate(name, rate))
            setFrameRate(rate);
        config->setConfSaved(true);
    }
}

void Camera::exit() {
    // A film still being recorded is finished first, so that it stays playable, and its dialog
    // is told that nothing is recorded any more.
    if (recording || filmId != 0)
        abandonRecording();
    if (handle == 0)
        return;
    // A camera that no longer answers its handle (unplugged) is released as far as the library
    // still knows it and counted as closed: keeping the handle would make every later start fail
    // on closing it.
    const int stopped = zk_StopLiveVideo(handle, 1);
    if (stopped == ZK_INVALID_CAMERA_HANDLE) {
        zk_ExitCamera(handle);
        memory = nullptr;
        handle = 0;
        lost = true;
        return;
    }
    check("zk_StopLiveVideo", stopped);
    if (memory)
        check("zk_FreeImageMem", zk_FreeImageMem(handle, memory, memoryId));
    memory = nullptr;
    check("zk_ExitCamera", zk_ExitCamera(handle));
    handle = 0;
}

unsigned char* Camera::getActiveImage() {
    if (handle == 0)
        return nullptr;
    int number = 0;
    char* buffer = nullptr;
    char* latest = nullptr;
    const size_t pixels = static_cast<size_t>(getMaxWidth()) * static_cast<size_t>(getMaxHeight());
    // While a film is recorded, its thread may have the next image written into the memory at any
    // moment: the caller gets a copy taken in between.
    const bool filming = recorder.joinable();
    std::unique_lock<std::mutex> lock(imageMutex, std::defer_lock);
    if (filming)
        lock.lock();
    zk_fn70(handle, &number, &buffer, &latest);
    if (!latest)
        return nullptr;
    if (color) {
        if (!filming)
            return reinterpret_cast<unsigned char*>(latest);
        shownImage.assign(latest, latest + pixels * 3);
        return shownImage.data();
    }
    auto* rgb = static_cast<unsigned char*>(std::malloc(pixels * 3));
    if (!rgb)
        return nullptr;
    expandGrey(reinterpret_cast<const unsigned char*>(latest), rgb, pixels);
    return rgb;
}

uint32_t Camera::getCamHandle() const {
    return handle;
}

ostring Camera::getName() const {
    const char* name = reinterpret_cast<const char*>(sensorInfo + ZK_SENSORINFO_NAME);
    return ostring(std::string(name, strnlen(name, sensorNameBytes)).c_str());
}

ostring Camera::getSensor() const {
    return getName();
}

int Camera::getMaxWidth() const {
    uint32_t value;
    std::memcpy(&value, sensorInfo + ZK_SENSORINFO_MAX_WIDTH, sizeof value);
    return static_cast<int>(value);
}

int Camera::getMaxHeight() const {
    uint32_t value;
    std::memcpy(&value, sensorInfo + ZK_SENSORINFO_MAX_HEIGHT, sizeof value);
    return static_cast<int>(value);
}

bool Camera::isColor() const {
    return color;
}

// ---------------------------------------------------------------- parameters

double Camera::getGain() const {
    return zk_SetHardwareGain(handle, ZK_GET_CURRENT, 0, 0, 0);
}
double Camera::getRedGain() const {
    return zk_SetHardwareGain(handle, ZK_GET_RED_GAIN, 0, 0, 0);
}
double Camera::getGreenGain() const {
    return zk_SetHardwareGain(handle, ZK_GET_GREEN_GAIN, 0, 0, 0);
}
double Camera::getBlueGain() const {
    return zk_SetHardwareGain(handle, ZK_GET_BLUE_GAIN, 0, 0, 0);
}

void Camera::setGain(const int& master, const int& red, const int& green, const int& blue) {
    check("zk_SetHardwareGain", zk_SetHardwareGain(handle, master, red, green, blue));
    Config::getInstance()->setConfSaved(false);
}

void Camera::setAutoGain(const bool& on) {
    double value = on ? 1.0 : 0.0, second = 0.0;
    check("zk_SetAutoParameter", zk_SetAutoParameter(handle, ZK_SET_ENABLE_AUTO_GAIN, &value, &second));
}

bool Camera::isGainAuto() const {
    double value = 0.0, second = 0.0;
    check("zk_SetAutoParameter", zk_SetAutoParameter(handle, ZK_GET_ENABLE_AUTO_GAIN, &value, &second));
    return value != 0.0;
}

int Camera::getBrightness() const {
    return zk_SetBrightness(handle, ZK_GET_CURRENT);
}

void Camera::setBrightness(const int& brightness) {
    check("zk_SetBrightness", zk_SetBrightness(handle, brightness));
    Config::getInstance()->setConfSaved(false);
}

void Camera::readAOI(int& x, int& y, int& width, int& height) const {
    x = y = width = height = 0;
    check("zk_SetAOI", zk_SetAOI(handle, ZK_GET_AOI, &x, &y, &width, &height));
}

int Camera::getWidth() const {
    int x, y, width, height;
    readAOI(x, y, width, height);
    return width;
}

int Camera::getHeight() const {
    int x, y, width, height;
    readAOI(x, y, width, height);
    return height;
}

int Camera::getPosX() const {
    int x, y, width, height;
    readAOI(x, y, width, height);
    return x;
}

int Camera::getPosY() const {
    int x, y, width, height;
    readAOI(x, y, width, height);
    return y;
}

void Camera::setDefaultAOI() {
    int x = 0, y = 0, width = getMaxWidth(), height = getMaxHeight();
    check("zk_SetAOI", zk_SetAOI(handle, ZK_SET_AOI, &x, &y, &width, &height));
}

void Camera::setAOI(const int& width, const int& height) {
    const double exposure = getExposure();
    const double rate = getFrameRate();
    check("zk_SetImagePos", zk_SetImagePos(handle, 0, 0));
    // A step below 1 would make the rounding divide by zero; it counts as 1.
    const int xStep = std::max(1, zk_SetImagePos(handle, ZK_GET_POS_X_STEP, ZK_GET_POS_X_STEP));
    const int yStep = std::max(1, zk_SetImagePos(handle, ZK_GET_POS_Y_STEP, ZK_GET_POS_Y_STEP));
    check("zk_SetImageSize", zk_SetImageSize(handle, width - width % xStep, height - height % yStep));
    const int x = zk_SetImagePos(handle, ZK_GET_POS_X_MAX, ZK_GET_POS_X_MAX) / 2;
    const int y = zk_SetImagePos(handle, ZK_GET_POS_Y_MAX, ZK_GET_POS_Y_MAX) / 2;
    check("zk_SetImagePos", zk_SetImagePos(handle, x - x % xStep, y - y % yStep));
    double obtained = 0.0;
    check("zk_SetFrameRate", zk_SetFrameRate(handle, rate, &obtained));
    check("zk_SetExposureTime", zk_SetExposureTime(handle, exposure, &obtained));
    Config::getInstance()->setConfSaved(false);
}

void Camera::doWhiteBalance() {
    double value = 1.0, second = 0.0;
    check("zk_SetAutoParameter",
          zk_SetAutoParameter(handle, ZK_SET_ENABLE_AUTO_WHITEBALANCE, &value, &second));
}

void Camera::stopWhiteBalance() {
    double value = 0.0, second = 0.0;
    check("zk_SetAutoParameter",
          zk_SetAutoParameter(handle, ZK_SET_ENABLE_AUTO_WHITEBALANCE, &value, &second));
}

double Camera::getFrameRate() const {
    double rate = 0.0;
    check("zk_SetFrameRate", zk_SetFrameRate(handle, ZK_GET_FRAMERATE, &rate));
    return rate;
}

void Camera::setFrameRate(const double& rate) {
    double obtained = 0.0;
    check("zk_SetFrameRate", zk_SetFrameRate(handle, rate, &obtained));
    Config::getInstance()->setConfSaved(false);
}

double Camera::getExposure() const {
    double time = 0.0;
    check("zk_SetExposureTime", zk_SetExposureTime(handle, ZK_GET_EXPOSURE_TIME, &time));
    return time;
}

void Camera::setExposure(const double& time) {
    double obtained = 0.0;
    check("zk_SetExposureTime", zk_SetExposureTime(handle, time, &obtained));
    Config::getInstance()->setConfSaved(false);
}

void Camera::setDefaultGain() {
    const Config* config = Config::getInstance();
    const ostring name = getName();
    const long master = config->getMasterGain(name);
    check("zk_SetHardwareGain",
          zk_SetHardwareGain(handle, static_cast<int>(master), static_cast<int>(config->getRedGain(name)),
                             static_cast<int>(config->getGreenGain(name)),
                             static_cast<int>(config->getBlueGain(name))));
    if (master == -1)
        setAutoGain(true);
}

void Camera::setDefaultBrightness() {
    check("zk_SetBrightness",
          zk_SetBrightness(handle, static_cast<int>(Config::getInstance()->getBrightness(getName()))));
}

void Camera::setDefaultExposure() {
    double obtained = 0.0;
    check("zk_SetExposureTime",
          zk_SetExposureTime(handle, Config::getInstance()->getExposure(getName()), &obtained));
    Config::getInstance()->setConfSaved(false);
}

void Camera::setDefaultFrameRate() {
    double rate = 0.0, obtained = 0.0;
    check("zk_SetFrameRate", zk_SetFrameRate(handle, ZK_GET_DEFAULT_FRAMERATE, &rate));
    check("zk_SetFrameRate", zk_SetFrameRate(handle, rate, &obtained));
    Config::getInstance()->setConfSaved(false);
}

void Camera::saveUserSettings() {
    Config* config = Config::getInstance();
    const ostring name = getName();
    config->setUserMasterGain(name, zk_SetHardwareGain(handle, ZK_GET_CURRENT, 0, 0, 0));
    config->setUserRedGain(name, zk_SetHardwareGain(handle, ZK_GET_RED_GAIN, 0, 0, 0));
    config->setUserGreenGain(name, zk_SetHardwareGain(handle, ZK_GET_GREEN_GAIN, 0, 0, 0));
    config->setUserBlueGain(name, zk_SetHardwareGain(handle, ZK_GET_BLUE_GAIN, 0, 0, 0));
    config->setUserAutoGain(name, isGainAuto());
    config->setUserBrightness(name, zk_SetBrightness(handle, ZK_GET_CURRENT));
    config->setUserExposure(name, getExposure());
    config->setUserFramerate(name, getFrameRate());
    const int height = getHeight();
    const int width = getWidth();
    config->setUserSizes(name, width, height);
    config->setConfSaved(true);
}

void Camera::resetUserSettings() {
    Config* config = Config::getInstance();
    config->clearUserSettings(getName());
    init();
    config->setConfSaved(true);
}

// ---------------------------------------------------------------- recording

long Camera::framesFor(const double& seconds, const double& rate) const {
    // The frames that a count-down of `seconds` in steps of 1 / rate records, in exact arithmetic.
    const double frames = std::ceil(seconds * rate - 1e-9);
    if (!(frames < static_cast<double>(LONG_MAX)))
        return LONG_MAX;
    return std::max(1L, static_cast<long>(frames));
}

void Camera::startRecording(CameraListener* listener, const ostring& path, const double& length,
                            const double& frameRate, const double& maxSize_, const long& replayRate) {
    // Another listener (a new recording dialog) starts its own film: the running one is finished.
    if (recording && std::find(listeners.begin(), listeners.end(), listener) == listeners.end())
        stopRecording();

    // The rate is settled before any film is opened, so a camera that cannot tell its rate leaves no
    // film writer behind.
    double rate = std::isfinite(frameRate) && frameRate > 0.0 ? frameRate : getFrameRate();
    if (!(std::isfinite(rate) && rate > 0.0))
        rate = 1.0;

    if (!recording) {
        std::string bytes;
        wchar_t refused = 0;
        if (!filmPathBytes(path, bytes, refused)) {
            const PBN::Strings::StringTable& table = PBN::Strings::StringTable::get();
            ostring reason(table.getString("Tolvane", ids::CharacterNotInName).wstr());
            reason.replaceAll(ostring(L"%s"), characterName(refused));
            throw PBN::Exception(table.getString("Tolvane", ids::InvalidFileName) + ostring(L"\n") + reason,
                                 PBN::Exception::SEVERE);
        }
        // A thread whose film ended by itself (its end not handled yet) is gone before a new one.
        joinRecorder();
        filmPath = bytes;
        int width = 0, height = 0;
        try {
            check("zkavi_InitAVI", zkavi_InitAVI(&filmId, handle));
            int x, y;
            readAOI(x, y, width, height);
            check("zkavi_SetImageSize",
                  zkavi_SetImageSize(filmId, 1, width, height, 0, 0, getMaxWidth() - width));
            check("zkavi_SetImageQuality", zkavi_SetImageQuality(filmId, 50));
            const wxString existing = wxString::FromUTF8(Cp1252::toUtf8(bytes));
            if (wxFileExists(existing))
                wxRemoveFile(existing);
            check("zkavi_OpenAVI", zkavi_OpenAVI(filmId, bytes.c_str()));
            check("zkavi_SetFrameRate", zkavi_SetFrameRate(filmId, static_cast<double>(replayRate)));
            check("zkavi_StartAVI", zkavi_StartAVI(filmId));
        } catch (const PBN::Exception&) {
            // A film writer that never started is released, so no file stays open behind it.
            if (filmId != 0)
                zkavi_ExitAVI(filmId);
            filmId = 0;
            throw;
        }
        recordFrameRate = rate;
        recordLength = remainingLength = length;
        framesDue = length > 0.0 ? framesFor(length, recordFrameRate) : -1;
        filmWidth = std::clamp(width, 0, getMaxWidth());
        filmHeight = std::clamp(height, 0, getMaxHeight());
        maxSize = sizeLimit(maxSize_);
        recording = true;
        listeners.push_back(listener);
        ++filmSerial;
        recorderPaused = recorderQuit = false;
        nextFrame = std::chrono::steady_clock::now() + periodFor(recordFrameRate);
        recorder = std::thread([this] { recordLoop(); });
        return;
    }
    // Resume: the time still due, plus what the new length adds to the old one.
    controlRecorder([&] {
        const double remaining = framesDue >= 0 ? framesDue / recordFrameRate : remainingLength;
        remainingLength = length >= 0.0 ? length - recordLength + remaining : length;
        recordLength = length;
        recordFrameRate = rate;
        // A length already reached ends the film at the next frame.
        framesDue = length > 0.0 ? framesFor(remainingLength, recordFrameRate) : -1;
        maxSize = sizeLimit(maxSize_);
        recorderPaused = false;
        nextFrame = std::chrono::steady_clock::now() + periodFor(recordFrameRate);
    });
}

void Camera::pauseRecording() {
    controlRecorder([this] { recorderPaused = true; });
}

void Camera::controlRecorder(const std::function<void()>& change) {
    ++controlsWaiting;
    {
        std::lock_guard<std::mutex> lock(recordMutex);
        change();
        --controlsWaiting;
    }
    recordWake.notify_all();
}

void Camera::joinRecorder() {
    if (!recorder.joinable())
        return;
    controlRecorder([this] { recorderQuit = true; });
    recorder.join();
    shownImage = std::vector<unsigned char>();
}

void Camera::stopRecording() {
    recording = false;
    joinRecorder();
    if (filmId == 0)
        return;
    // The writer is always released, even when an earlier step fails; the first failure is told.
    const int id = filmId;
    filmId = 0;
    const int stopped = zkavi_StopAVI(id);
    const int closed = zkavi_CloseAVI(id);
    const int released = zkavi_ExitAVI(id);
    check("zkavi_StopAVI", stopped);
    check("zkavi_CloseAVI", closed);
    check("zkavi_ExitAVI", released);
}

void Camera::notifyRecordEnd() {
    const std::vector<CameraListener*> snapshot = listeners;
    for (CameraListener* listener : snapshot)
        if (listener)
            listener->recordEnd();
}

void Camera::endRecording() {
    stopRecording();
    notifyRecordEnd();
}

void Camera::abandonRecording() {
    // The reason was already told: the writer's own complaints while closing would only repeat it.
    try {
        stopRecording();
    } catch (const PBN::Exception&) {
    }
    notifyRecordEnd();
}

void Camera::recordLoop() {
    std::unique_lock<std::mutex> lock(recordMutex);
    for (;;) {
        // A frame later than its time follows the last at once: a control waiting meanwhile gets
        // the lock first.
        recordWake.wait(lock, [this] { return controlsWaiting == 0; });
        while (!recorderQuit && (recorderPaused || std::chrono::steady_clock::now() < nextFrame)) {
            if (recorderPaused)
                recordWake.wait(lock);
            else
                recordWake.wait_until(lock, nextFrame);
        }
        if (recorderQuit)
            return;
        std::shared_ptr<PBN::Exception> failure;
        bool going = false;
        try {
            going = recordFrame();
        } catch (const PBN::Exception& e) {
            failure = std::make_shared<PBN::Exception>(e);
        }
        if (!going) {
            // The GUI thread finishes the film, tells the listeners and shows a failure.
            const unsigned film = filmSerial;
            CallAfter([this, film, failure] { recorderEnded(film, failure); });
            return;
        }
        // Frames keep their times, so that a thread held up for a moment (a loaded machine) makes
        // up the frames it was late for; one left behind by more than that starts anew from now.
        const auto now = std::chrono::steady_clock::now();
        nextFrame += periodFor(recordFrameRate);
        if (now - nextFrame > catchUpLimit)
            nextFrame = now;
    }
}

void Camera::recorderEnded(unsigned film, std::shared_ptr<PBN::Exception> failure) {
    if (!recording || film != filmSerial)
        return; // stopped (or another film started) meanwhile
    if (failure) {
        // A film that cannot take its frames (a full disk) ends here with the frames it holds, so
        // that no dialog goes on showing a recording; nobody above the event loop could catch
        // the reason, so it is shown here, once.
        abandonRecording();
        failure->display(nullptr, false);
        return;
    }
    try {
        endRecording();
    } catch (const PBN::Exception& e) {
        e.display(nullptr, false);
    }
}

bool Camera::takeFilmFrame() {
    const int maxWidth = getMaxWidth(), maxHeight = getMaxHeight();
    const size_t stride = static_cast<size_t>(maxWidth) * 3;
    filmFrame.resize(stride * static_cast<size_t>(maxHeight));

    std::lock_guard<std::mutex> lock(imageMutex);
    int number = 0;
    char* buffer = nullptr;
    char* latest = nullptr;
    zk_fn70(handle, &number, &buffer, &latest);
    if (!latest)
        return false;
    // The camera writes only its area of interest: shrunk during the film, what lies outside it
    // still holds earlier images. The film shows there what the live view shows.
    int x, y, width, height;
    readAOI(x, y, width, height);
    width = std::clamp(width, 0, filmWidth);
    height = std::clamp(height, 0, filmHeight);
    const auto* source = reinterpret_cast<const unsigned char*>(latest);
    // The writer reads the film's area alone: that is all that is made, B, G, R, in one pass.
    for (int row = 0; row < filmHeight; ++row) {
        unsigned char* out = filmFrame.data() + static_cast<size_t>(row) * stride;
        const int inside = row < height ? width : 0;
        if (color) {
            const unsigned char* in = source + static_cast<size_t>(row) * stride;
            for (int column = 0; column < inside; ++column, in += 3, out += 3) {
                out[0] = in[2];
                out[1] = in[1];
                out[2] = in[0];
            }
        } else {
            const unsigned char* in = source + static_cast<size_t>(row) * maxWidth;
            expandGrey(in, out, static_cast<size_t>(inside));
            out += static_cast<size_t>(inside) * 3;
        }
        for (int column = inside; column < filmWidth; ++column, out += 3) {
            out[0] = outsideArea[2];
            out[1] = outsideArea[1];
            out[2] = outsideArea[0];
        }
    }
    return true;
}

bool Camera::recordFrame() {
    float size = 0.0f;
    const int sized = zkavi_GetAVISize(filmId, &size);
    if (sized != 0 && sized != ZKAVI_NOTICE)
        cameraError("zkavi_GetAVISize", sized);
    size = size / 1024.0f;
    if (maxSize >= 0 && !(size < static_cast<float>(maxSize)))
        return false;
    if (!takeFilmFrame())
        return true; // no image (camera gone): no frame, and nothing counted
    const int added = zkavi_AddFrame(filmId, reinterpret_cast<const char*>(filmFrame.data()));
    if (added != 0 && added != ZKAVI_NOTICE)
        cameraError("zkavi_AddFrame", added);
    if (framesDue > 0) {
        --framesDue;
        remainingLength = framesDue / recordFrameRate;
        if (framesDue == 0)
            return false;
    }
    return true;
}

// ---------------------------------------------------------------- listeners, clock

void Camera::removeListener(const CameraListener* listener) {
    for (size_t i = listeners.size(); i-- > 0;)
        if (listeners[i] == listener)
            listeners.erase(listeners.begin() + static_cast<std::ptrdiff_t>(i));
    // Each target is locked on its own, never under the list's lock: a worker holds its target's
    // lock while it calls optimizeEnd.
    std::vector<std::shared_ptr<Thread::Target>> running;
    {
        std::lock_guard<std::mutex> lock(optimizationsMutex);
        for (const std::weak_ptr<Thread::Target>& weak : optimizations)
            if (std::shared_ptr<Thread::Target> target = weak.lock())
                running.push_back(std::move(target));
    }
    for (const std::shared_ptr<Thread::Target>& target : running) {
        std::lock_guard<std::recursive_mutex> targetLock(target->mutex);
        if (target->listener == listener)
            target->listener = nullptr;
    }
}

void Camera::optimizeClock(CameraListener* listener) {
    auto* thread = new Thread(0, listener);
    {
        std::lock_guard<std::mutex> lock(optimizationsMutex);
        std::erase_if(optimizations, [](const std::weak_ptr<Thread::Target>& t) { return t.expired(); });
        optimizations.push_back(thread->getTarget());
    }
    if (thread->Create() != wxTHREAD_NO_ERROR || thread->Run() != wxTHREAD_NO_ERROR)
        delete thread;
    Config::getInstance()->setConfSaved(false);
}

wxIMPLEMENT_DYNAMIC_CLASS(CameraModule, wxModule);

} // namespace Tolvane_model
