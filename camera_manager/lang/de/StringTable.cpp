// German strings. A string missing here is taken from the program's own (English) table.
#include "platform/win/ResourceStrings.h"

#include <iterator>

extern const ResourceString managerStrings[] = {
    {101, u"\u00dc&ber Zeko Camera Manager..."},
    {109, u"Modell"},
    {174, u"\u00dcbertragung fehlgeschlagen"},
    {175, u"Parameter"},
    {238, u"Frei"},
    {239, u"Typ"},
    {240, u"Kam.ID"},
    {241, u"Ger.ID"},
    {242, u"Ser.Nr."},
    {243, u"Verf."},
    {246, u"Parameter"},
    {247, u"Wert"},
    {301, u"Unbekannt"},
    {354, u"ZekoCameraManager"},
    {355, u"so"},
    {358, u"Schlie\u00dfen"},
    {359, u"Allgemeine Informationen"},
    {360, u"Kamerainformationen"},
    {361, u"Supportdatei erstellen"},
    {362, u"ETH-Netzwerkdienst"},
    {363, u"Zusatzfunktionen"},
    {364, u"Automatische ETH-Konfiguration"},
    {365, u"Starter-Firmware hochladen"},
    {366, u"Manuelle ETH-Konfiguration"},
    {367, u"Supportdatei \u00f6ffnen"},
    {368, u"Expertenmodus"},
    {369, u"Automatische Parameteraktualisierung"},
    {370, u"Kameraliste"},
    {372, u"Steuerzentrale"},
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
