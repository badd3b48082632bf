#include "tolvane_model/Config.h"

#include "pemblon/core/Exception.h"
#include "pemblon/core/HelperFuncs.h"
#include "pemblon/strings/StringTable.h"
#include "pemblon/xml/XMLNode.h"
#include "tolvane_model/StringIds.h"

#include <cmath>
#include <limits>

#include <wx/string.h>

using PBN::Strings::ostring;
using PBN::XML::XMLDoc;
using PBN::XML::XMLNode;

namespace Tolvane_model {

namespace {

[[noreturn]] void settingsError() {
    throw PBN::Exception(
        PBN::Strings::StringTable::get().getString("Tolvane", Tolvane_model::ids::SettingsFileError),
        PBN::Exception::SEVERE);
}

XMLNode cameraNode(const XMLDoc& doc, const ostring& camera) {
    const XMLNode cameras = doc.getRoot().getChild("CameraSettings", "");
    if (cameras.isNull())
        settingsError();
    const XMLNode cam = cameras.getChild(camera, "");
    if (cam.isNull())
        settingsError();
    return cam;
}

bool toLong(const ostring& text, long& value) {
    long v = 0;
    if (!text.wxstr().ToLong(&v, 10))
        return false;
    value = v;
    return true;
}

// Doubles are read in the "C" form whatever the locale the toolkit set.
bool toDouble(const ostring& text, double& value) {
    double v = 0.0;
    if (!text.wxstr().ToCDouble(&v))
        return false;
    value = v;
    return true;
}

long factoryLong(const XMLDoc& doc, const ostring& camera, const char* element) {
    const XMLNode node = cameraNode(doc, camera).getChild(element, "");
    long value = 0;
    if (node.isNull() || !toLong(node.getText(), value))
        settingsError();
    return value;
}

bool factoryBool(const XMLDoc& doc, const ostring& camera, const char* element) {
    const XMLNode node = cameraNode(doc, camera).getChild(element, "");
    if (node.isNull())
        settingsError();
    return XMLDoc::castBoolean(node.getText());
}

bool userLong(const XMLDoc& doc, const ostring& camera, const char* element, long& value) {
    const XMLNode node = cameraNode(doc, camera).getChild(element, "");
    return !node.isNull() && toLong(node.getText(), value);
}

bool userDouble(const XMLDoc& doc, const ostring& camera, const char* element, double& value) {
    const XMLNode node = cameraNode(doc, camera).getChild(element, "");
    return !node.isNull() && toDouble(node.getText(), value);
}

// The element `name` under `parent` (appended last when missing) gets the text, escaped.
void putChild(XMLNode parent, const ostring& name, const ostring& text) {
    XMLNode child = parent.getChild(name, "");
    if (child.isNull())
        child = parent.addChild(name, -1);
    child.setText(text, true);
}

// Drops the blank text kept at load time and rewrites the whole file in place.
bool writeFile(XMLDoc& doc) {
    doc.indent(false);
    return doc.save("", true);
}

// Says the file could not be written (a read-only folder, a full disk), not that it is broken.
void writeOrThrow(XMLDoc& doc) {
    if (writeFile(doc))
        return;
    const PBN::Strings::StringTable& table = PBN::Strings::StringTable::get();
    ostring reason = table.getString("Tolvane", Tolvane_model::ids::SettingsNotWritten);
    reason.replaceAll("%s", doc.getFilename());
    throw PBN::Exception(table.getString("Tolvane", Tolvane_model::ids::SettingsFileError) + "\n" + reason,
                         PBN::Exception::SEVERE);
}

ostring longText(const long& value) {
    ostring text;
    text << value;
    return text;
}

ostring doubleText(const double& value) {
    ostring text;
    text << value;
    return text;
}

void removeMatching(XMLDoc& doc, XMLNode parent, const char* pattern) {
    for (unsigned i = parent.getChildrenCount(); i-- > 0;)
        if (parent.getChildAt(i).getName().glob(pattern))
            parent.removeChildAt(i);
    writeOrThrow(doc);
}

bool hasMatching(const XMLNode& parent, const char* pattern) {
    for (unsigned i = 0; i < parent.getChildrenCount(); ++i)
        if (parent.getChildAt(i).getName().glob(pattern))
            return true;
    return false;
}

long recordingValue(const XMLDoc& doc, const char* element) {
    long value = 0;
    doc.getRoot().getChild(element, "").getText().wxstr().ToLong(&value, 10);
    return value;
}

// A double cut toward zero, held within the range of long (NaN gives 0).
long truncated(const double& value) {
    if (std::isnan(value))
        return 0;
    if (value >= static_cast<double>(std::numeric_limits<long>::max()))
        return std::numeric_limits<long>::max();
    if (value <= static_cast<double>(std::numeric_limits<long>::min()))
        return std::numeric_limits<long>::min();
    return static_cast<long>(value);
}

} // namespace

Config* Config::_instance = nullptr;

Config* Config::getInstance() {
    if (!_instance)
        _instance = new Config();
    return _instance;
}

Config::Config() : confSaved(true), recordConfSaved(false) {}

Config::Config(const Config& other)
    : settings(other.settings), confSaved(other.confSaved), recordConfSaved(other.recordConfSaved) {}

Config& Config::operator=(const Config& other) {
    if (this != &other) {
        settings = other.settings;
        confSaved = other.confSaved;
        recordConfSaved = other.recordConfSaved;
    }
    return *this;
}

Config::~Config() {
    if (_instance == this)
        _instance = nullptr;
}

void Config::load() {
    load(PBN::HelperFuncs::getAppDir() + "res" + PBN::HelperFuncs::getDirSep() + "config.xml");
}

void Config::load(const ostring& path) {
    const XMLDoc loaded(path, true, false);
    settings = loaded;
}

ostring Config::getLanguage() const {
    XMLNode root = settings.getRoot();
    const XMLNode language = root.getChild("Language", "");
    if (!language.isNull())
        return language.getText();
    root.addChild("Language", -1).setText("French", true);
    return "French";
}

void Config::setLanguage(const ostring& language) {
    putChild(settings.getRoot(), "Language", language);
    writeFile(settings);
}

long Config::getMasterGain(const ostring& camera) const {
    const XMLNode cam = cameraNode(settings, camera);
    const XMLNode master = cam.getChild("MasterGain", "");
    if (master.isNull())
        settingsError();
    const XMLNode autoGain = cam.getChild("AutoGain", "");
    if (!autoGain.isNull() && ci_eq(autoGain.getText(), ostring("true")))
        return -1;
    long value = 0;
    if (!toLong(master.getText(), value))
        settingsError();
    return value;
}

long Config::getRedGain(const ostring& camera) const {
    return factoryLong(settings, camera, "RedGain");
}
long Config::getGreenGain(const ostring& camera) const {
    return factoryLong(settings, camera, "GreenGain");
}
long Config::getBlueGain(const ostring& camera) const {
    return factoryLong(settings, camera, "BlueGain");
}
bool Config::getAutoGain(const ostring& camera) const {
    return factoryBool(settings, camera, "AutoGain");
}
long Config::getBrightness(const ostring& camera) const {
    return factoryLong(settings, camera, "Brightness");
}

double Config::getExposure(const ostring& camera) const {
    const XMLNode node = cameraNode(settings, camera).getChild("Exposure", "");
    double value = 0.0;
    if (node.isNull() || !toDouble(node.getText(), value))
        settingsError();
    return value;
}

long Config::getClock(const ostring& camera) const {
    return factoryLong(settings, camera, "Clock");
}
long Config::getGamma(const ostring& camera) const {
    return factoryLong(settings, camera, "Gamma");
}
bool Config::getBLEnable(const ostring& camera) const {
    return factoryBool(settings, camera, "BLEnable");
}
long Config::getBlackLevel(const ostring& camera) const {
    return factoryLong(settings, camera, "BlackLevel");
}
long Config::getColorMode(const ostring& camera) const {
    return factoryLong(settings, camera, "ColorMode");
}
long Config::getColorCorrection(const ostring& camera) const {
    return factoryLong(settings, camera, "ColorCorrection");
}

bool Config::getUserSizes(const ostring& camera, int& width, int& height) const {
    long w = 0;
    if (!userLong(settings, camera, "UserWidth", w))
        return false;
    width = static_cast<int>(w);
    long h = 0;
    if (!userLong(settings, camera, "UserHeight", h))
        return false;
    height = static_cast<int>(h);
    return true;
}

bool Config::getUserMasterGain(const ostring& camera, long& value) const {
    return userLong(settings, camera, "UserMasterGain", value);
}
bool Config::getUserRedGain(const ostring& camera, long& value) const {
    return userLong(settings, camera, "UserRedGain", value);
}
bool Config::getUserGreenGain(const ostring& camera, long& value) const {
    return userLong(settings, camera, "UserGreenGain", value);
}
bool Config::getUserBlueGain(const ostring& camera, long& value) const {
    return userLong(settings, camera, "UserBlueGain", value);
}

bool Config::getUserAutoGain(const ostring& camera, bool& value) const {
    const XMLNode node = cameraNode(settings, camera).getChild("UserAutoGain", "");
    if (node.isNull())
        return false;
    value = XMLDoc::castBoolean(node.getText());
    return true;
}

bool Config::getUserBrightness(const ostring& camera, long& value) const {
    return userLong(settings, camera, "UserBrightness", value);
}
bool Config::getUserExposure(const ostring& camera, double& value) const {
    return userDouble(settings, camera, "UserExposure", value);
}
bool Config::getUserFramerate(const ostring& camera, double& value) const {
    return userDouble(settings, camera, "UserFramerate", value);
}

void Config::setUserSizes(const ostring& camera, const int& width, const int& height) {
    const XMLNode cam = cameraNode(settings, camera);
    putChild(cam, "UserWidth", longText(width));
    putChild(cam, "UserHeight", longText(height));
    writeOrThrow(settings);
}

void Config::setUserMasterGain(const ostring& camera, const long& value) {
    putChild(cameraNode(settings, camera), "UserMasterGain", longText(value));
    writeOrThrow(settings);
}
void Config::setUserRedGain(const ostring& camera, const long& value) {
    putChild(cameraNode(settings, camera), "UserRedGain", longText(value));
    writeOrThrow(settings);
}
void Config::setUserGreenGain(const ostring& camera, const long& value) {
    putChild(cameraNode(settings, camera), "UserGreenGain", longText(value));
    writeOrThrow(settings);
}
void Config::setUserBlueGain(const ostring& camera, const long& value) {
    putChild(cameraNode(settings, camera), "UserBlueGain", longText(value));
    writeOrThrow(settings);
}
void Config::setUserAutoGain(const ostring& camera, const bool& value) {
    putChild(cameraNode(settings, camera), "UserAutoGain", value ? "true" : "false");
    writeOrThrow(settings);
}
void Config::setUserBrightness(const ostring& camera, const long& value) {
    putChild(cameraNode(settings, camera), "UserBrightness", longText(value));
    writeOrThrow(settings);
}
void Config::setUserExposure(const ostring& camera, const double& value) {
    putChild(cameraNode(settings, camera), "UserExposure", doubleText(value));
    writeOrThrow(settings);
}
void Config::setUserFramerate(const ostring& camera, const double& value) {
    putChild(cameraNode(settings, camera), "UserFramerate", doubleText(value));
    writeOrThrow(settings);
}

bool Config::isUserDefined(const ostring& camera) const {
    return hasMatching(cameraNode(settings, camera), "UserMasterGain");
}

bool Config::clearUserSettings(const ostring& camera) {
    removeMatching(settings, cameraNode(settings, camera), "User*");
    return true;
}

long Config::getAviUserLength() const {
    return recordingValue(settings, "AviUserLength");
}
long Config::getAviUserFrameRate() const {
    return recordingValue(settings, "AviUserFrameRate");
}
long Config::getAviUserMaxSize() const {
    return recordingValue(settings, "AviUserMaxSize");
}
long Config::getAviUserReplayFrameRate() const {
    return recordingValue(settings, "AviUserReplayFrameRate");
}

void Config::setAviUserLength(const long& value) {
    putChild(settings.getRoot(), "AviUserLength", longText(value));
    writeOrThrow(settings);
}
void Config::setAviUserFrameRate(const long& value) {
    putChild(settings.getRoot(), "AviUserFrameRate", longText(value));
    writeOrThrow(settings);
}
void Config::setAviUserMaxSize(const long& value) {
    putChild(settings.getRoot(), "AviUserMaxSize", longText(value));
    writeOrThrow(settings);
}
void Config::setAviUserReplayFrameRate(const long& value) {
    putChild(settings.getRoot(), "AviUserReplayFrameRate", longText(value));
    writeOrThrow(settings);
}

void Config::saveUserRecordSettings(const double& length, const double& frameRate, const double& maxSize,
                                    const long& replayRate) {
    setAviUserLength(truncated(length));
    setAviUserFrameRate(truncated(frameRate));
    setAviUserMaxSize(truncated(maxSize));
    setAviUserReplayFrameRate(replayRate);
    recordConfSaved = true;
}

bool Config::isUserRecordingDefined() const {
    return hasMatching(settings.getRoot(), "AviUser*");
}

void Config::resetUserRecordSettings() {
    removeMatching(settings, settings.getRoot(), "AviUser*");
    recordConfSaved = true;
}

bool Config::getConfSaved() const {
    return confSaved;
}
void Config::setConfSaved(const bool& saved) {
    confSaved = saved;
}
bool Config::getRecordConfSaved() const {
    return recordConfSaved;
}
void Config::setRecordConfSaved(const bool& saved) {
    recordConfSaved = saved;
}

} // namespace Tolvane_model
