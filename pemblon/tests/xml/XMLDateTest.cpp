#include "pemblon/xml/XMLDoc.h"

#include <cstdlib>
#include <ctime>
#include <string>

#include <gtest/gtest.h>

using PBN::Strings::ostring;
using PBN::XML::XMLDoc;

namespace {

// Switches the process's zone for one test and restores it afterwards.
class ZoneGuard {
public:
    explicit ZoneGuard(const char* zone) {
        const char* old = std::getenv("TZ");
        hadOld = old != nullptr;
        if (hadOld) {
            oldValue = old;
        }
        setenv("TZ", zone, 1);
        tzset();
    }
    ~ZoneGuard() {
        if (hadOld) {
            setenv("TZ", oldValue.c_str(), 1);
        } else {
            unsetenv("TZ");
        }
        tzset();
    }

private:
    bool hadOld = false;
    std::string oldValue;
};

wxDateTime utc(int y, int mon, int d, int h, int m, int s, int ms) {
    struct tm t = {};
    t.tm_year = y - 1900;
    t.tm_mon = mon - 1;
    t.tm_mday = d;
    t.tm_hour = h;
    t.tm_min = m;
    t.tm_sec = s;
    return wxDateTime(wxLongLong(static_cast<long long>(timegm(&t)) * 1000 + ms));
}

} // namespace

TEST(XMLDateTest, FormatsLocalFields) {
    ZoneGuard zone("Europe/Paris");
    wxDateTime d(4, wxDateTime::Mar, 2011, 5, 6, 7, 8);
    EXPECT_EQ(XMLDoc::dateToString(d, true, true, false), ostring("2011-03-04T05:06:07.008"));
    EXPECT_EQ(XMLDoc::dateToString(d, true, false, false), ostring("2011-03-04T05:06:07"));
    EXPECT_EQ(XMLDoc::dateToString(d, false, true, false), ostring("2011-03-04"));
    EXPECT_EQ(XMLDoc::dateToString(d, false, false, true), ostring("2011-03-04 +01:00"));
    EXPECT_EQ(XMLDoc::dateToString(wxDateTime(), true, true, true), ostring(""));
}

TEST(XMLDateTest, ParsesLocalFields) {
    ZoneGuard zone("Asia/Kolkata");
    wxDateTime d = XMLDoc::stringToDate("2011-03-04T05:06:07.008");
    ASSERT_TRUE(d.IsValid());
    EXPECT_EQ(d, wxDateTime(4, wxDateTime::Mar, 2011, 5, 6, 7, 8));
    EXPECT_EQ(XMLDoc::stringToDate(" 2011 "), wxDateTime(1, wxDateTime::Jan, 2011));
    EXPECT_FALSE(XMLDoc::stringToDate("").IsValid());
    EXPECT_FALSE(XMLDoc::stringToDate(" \t\r\n").IsValid());
    // Out-of-range fields give the invalid date instead of reaching wx's assertions.
    for (const char* bad : {"2011-13-01", "2011-02-30", "2011-01-45", "2011-01-01T24:00:00",
                            "2011-01-01T10:61", "2011-01-01T10:10:10.1000"}) {
        EXPECT_FALSE(XMLDoc::stringToDate(bad).IsValid()) << bad;
    }
}

TEST(XMLDateTest, ZoneRoundTripKeepsTheInstant) {
    const wxDateTime instant = utc(2011, 7, 4, 22, 30, 15, 250);
    const wxDateTime winter = utc(2011, 1, 4, 2, 0, 0, 999);
    for (const char* name :
         {"UTC", "Europe/Paris", "Asia/Kolkata", "America/St_Johns", "America/Los_Angeles"}) {
        ZoneGuard zone(name);
        for (const wxDateTime& d : {instant, winter}) {
            const ostring text = XMLDoc::dateToString(d, true, true, true);
            EXPECT_EQ(XMLDoc::stringToDate(text), d) << name << " " << text.str();
        }
    }
}

TEST(XMLDateTest, ZoneSignAppliesToMinutes) {
    ZoneGuard zone("UTC");
    EXPECT_EQ(XMLDoc::stringToDate("2011-03-04T05:06:07.000 -03:30"), utc(2011, 3, 4, 8, 36, 7, 0));
    EXPECT_EQ(XMLDoc::stringToDate("2011-03-04T05:06:07.000 +05:30"), utc(2011, 3, 3, 23, 36, 7, 0));
    EXPECT_EQ(XMLDoc::stringToDate("2011-03-04T05:06:07.000 -00:30"), utc(2011, 3, 4, 5, 36, 7, 0));
    // With three tokens the zone is ignored.
    EXPECT_EQ(XMLDoc::stringToDate("2011-03-04T05:06:07 +05:30 x"), utc(2011, 3, 4, 5, 6, 7, 0));
}

// A date written in one zone is the same instant read in any other, offset zero included
// (written without a blank before "+00:00").
TEST(XMLDateTest, WrittenDatesReadBackAsTheSameInstantInEveryZone) {
    const char* zones[] = {"UTC", "Europe/London", "Europe/Paris", "America/New_York"};
    const wxDateTime instants[] = {utc(2024, 1, 15, 12, 30, 15, 0), utc(2023, 7, 1, 23, 59, 59, 0)};
    for (const char* writer : zones) {
        for (const wxDateTime& instant : instants) {
            ostring text;
            {
                ZoneGuard zone(writer);
                text = XMLDoc::dateToString(instant, true, false, true);
            }
            for (const char* reader : zones) {
                ZoneGuard zone(reader);
                EXPECT_EQ(XMLDoc::stringToDate(text), instant)
                    << writer << " -> " << reader << ": " << text.str();
            }
        }
    }
    ZoneGuard zone("Europe/Paris");
    EXPECT_EQ(XMLDoc::stringToDate("2024-01-15T12:30:15+00:00"), utc(2024, 1, 15, 12, 30, 15, 0));
    EXPECT_EQ(XMLDoc::stringToDate("2024-01-15T12:30:15-05:00"), utc(2024, 1, 15, 17, 30, 15, 0));
}
