// German strings. A string missing here is taken from the program's own (English) table.
#include "platform/win/ResourceStrings.h"

#include <iterator>

extern const ResourceString managerStrings[] = {
    {101, u"\u00dc&ber Zeko Camera Manager..."},
    {174, u"\u00dcbertragung fehlgeschlagen"},
    {301, u"Unbekannt"},
    {354, u"ZekoCameraManager"},
    {355, u"so"},
    {473,
     u"Einige Kamerainformationen k\u00f6nnen nicht gelesen werden. Bitte pr\u00fcfen Sie, ob die Kamera "
     u"von einem anderen Programm ge\u00f6ffnet ist oder die Hardware inkompatibel ist. Sie k\u00f6nnen die "
     u"Supportdatei trotzdem verwenden. Die \u00fcbrigen Informationen werden gespeichert."},
    {543, u"Zeko Camera Manager"},
    {549, u"'Zeko_api.dll' wurde nicht gefunden. Bitte installieren Sie den Zeko-Treiber neu!"},
    {550, u"Die Version von 'Zeko_api.dll' ist mit dieser Version von Zeko Camera Manager nicht kompatibel. "
          u"Bitte installieren Sie den Zeko-Treiber neu!"},
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
    {3101, u"Deutsch"},
};

extern const size_t managerStringCount = std::size(managerStrings);
