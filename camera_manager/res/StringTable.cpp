#include "camera_manager/res/StringTable.h"

#include <iterator>

// One line per string: {number, text}. Numbers are the ones the code names in
// camera_manager/core/StringIds.h.
const ResourceString managerStrings[] = {
    {101, u"&About Zeko Camera Manager..."},
    {174, u"Transfer failed"},
    {301, u"Unknown"},
    {354, u"ZekoCameraManager"},
    {355, u"so"},
    {473, u"Some camera information can not be retrieved. Please check if the camera is opened by another "
          u"program or if the hardware is incompatible. Nevertheless you can use the support file. The "
          u"remaining information will be saved."},
    {543, u"Zeko Camera Manager"},
    {549, u"'Zeko_api.dll' could not be found. Please reinstall the Zeko driver!"},
    {550, u"The version of 'Zeko_api.dll' is not compatible with this version of Zeko Camera Manager. Please "
          u"reinstall the Zeko driver!"},
    {599, u"zeko_api_64.dll"},
    {3000, u"en"},
    {3001, u"de"},
    {3002, u"es"},
    {3003, u"pt"},
    {3004, u"it"},
    {3005, u"fr"},
    {3006, u"nl"},
    {3007, u"pl"},
    {3008, u"cs"},
    {3009, u"hu"},
    {3010, u"zh"},
    {3011, u"ja"},
    {3012, u"ko"},
    {3100, u"English"},
    {3101, u"Deutsch"},
    {3102, u"Espa\u00f1ol"},
    {3103, u"Portugu\u00eas"},
    {3104, u"Italiano"},
    {3105, u"Fran\u00e7ais"},
    {3106, u"Nederlands"},
    {3107, u"Polski"},
    {3108, u"\u010ce\u0161tina"},
    {3109, u"Magyar"},
    {3110, u"\u4e2d\u6587"},
    {3111, u"\u65e5\u672c\u8a9e"},
    {3112, u"\ud55c\uad6d\uc5b4"},
};

const size_t managerStringCount = std::size(managerStrings);
