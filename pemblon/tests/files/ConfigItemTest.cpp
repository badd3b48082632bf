#include "pemblon/files/ConfigItem.h"
#include "pemblon/files/Config.h"

#include "pemblon/tests/files/FilesTestSupport.h"

#include <climits>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <limits>

using namespace PBN::Files;
using FilesTest::TempDir;
using PBN::Strings::ostring;

namespace {

class Typed : public ::testing::Test {
protected:
    void SetUp() override {
        config = Config(dir.file("t.xml").c_str(), "", "1.0");
        config.writeDefault();
    }
    // Stores a raw text under a key.
    void put(const char* key, const char* text) { config.itemValue(key, text); }
    template <class T> T read(const char* key, bool& ok) { return ConfigItem<T>(config).get(key, &ok); }

    TempDir dir;
    Config config;
};

// Runs a block under a given time zone, restoring the old one.
class ZoneGuard {
public:
    explicit ZoneGuard(const char* zone) {
        const char* old = std::getenv("TZ");
        m_had = old != nullptr;
        if (old)
            m_old = old;
        setenv("TZ", zone, 1);
        tzset();
    }
    ~ZoneGuard() {
        if (m_had)
            setenv("TZ", m_old.c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }

private:
    bool m_had = false;
    std::string m_old;
};

} // namespace

TEST_F(Typed, SetReportsWhetherTheItemExisted) {
    ConfigItem<int> item(config);
    EXPECT_FALSE(item.set("n", 42));
    EXPECT_TRUE(item.set("n", 7));
    bool ok = false;
    EXPECT_EQ(item.get("n", &ok), 7);
    EXPECT_TRUE(ok);
    EXPECT_EQ(item.get("missing", &ok), 0);
    EXPECT_FALSE(ok);
    EXPECT_EQ(item.get("missing"), 0); // ok may be null
    EXPECT_FALSE(ConfigItem<ostring>(config).set("s/[attr]", "v"));
    EXPECT_TRUE(ConfigItem<ostring>(config).set("s/[attr]", "w"));
    EXPECT_EQ(ConfigItem<ostring>(config).get("s/[attr]", &ok), ostring("w"));
}

TEST_F(Typed, BooleansAndIntegers) {
    bool ok = false;
    for (const char* text : {"TRUE", "1", "-3"}) {
        put("b", text);
        EXPECT_TRUE(read<bool>("b", ok)) << text;
        EXPECT_TRUE(ok) << text;
    }
    for (const char* text : {"false", "0"}) {
        put("b", text);
        EXPECT_FALSE(read<bool>("b", ok));
        EXPECT_TRUE(ok) << text;
    }
    for (const char* text : {"yes", ""}) {
        put("b", text);
        EXPECT_FALSE(read<bool>("b", ok));
        EXPECT_FALSE(ok) << text;
    }
    ConfigItem<bool>(config).set("b", true);
    EXPECT_EQ(config.itemValue("b"), ostring("true"));

    put("i", "12abc");
    EXPECT_EQ(read<int>("i", ok), 0);
    EXPECT_FALSE(ok);
    put("i", " -17 ");
    EXPECT_EQ(read<int>("i", ok), -17);
    EXPECT_TRUE(ok);

    ConfigItem<short>(config).set("s", std::numeric_limits<short>::min());
    EXPECT_EQ(config.itemValue("s"), ostring("-32768"));
    EXPECT_EQ(read<short>("s", ok), std::numeric_limits<short>::min());
    ConfigItem<unsigned short>(config).set("s", 65535);
    EXPECT_EQ(read<unsigned short>("s", ok), 65535);
    ConfigItem<int>(config).set("s", INT_MIN);
    EXPECT_EQ(read<int>("s", ok), INT_MIN);
    EXPECT_TRUE(ok);
}

TEST_F(Typed, UnsignedAboveTheSignedRangeRoundTrips) {
    bool ok = false;
    for (unsigned int value : {0u, 2147483648u, 4000000000u, 4294967295u}) {
        ConfigItem<unsigned int>(config).set("u", value);
        EXPECT_EQ(read<unsigned int>("u", ok), value);
        EXPECT_TRUE(ok) << value;
    }
    put("u", "-1");
    EXPECT_EQ(read<unsigned int>("u", ok), 4294967295u);
    EXPECT_FALSE(ok);
    for (const char* text : {"4294967296", "-2147483649", "99999999999999999999"}) {
        put("u", text);
        EXPECT_EQ(read<unsigned int>("u", ok), 0u) << text;
        EXPECT_FALSE(ok) << text;
    }
    std::vector<unsigned int> list{4294967295u, 1u};
    ConfigItem<unsigned int>(config).setList("ul", list);
    EXPECT_EQ(ConfigItem<unsigned int>(config).getList("ul", &ok), list);
}

TEST_F(Typed, FloatingPointKeepsSixDigits) {
    bool ok = false;
    put("f", "1.5");
    EXPECT_FLOAT_EQ(read<float>("f", ok), 1.5f);
    EXPECT_TRUE(ok);
    put("f", "abc");
    EXPECT_EQ(read<float>("f", ok), 0.0f);
    EXPECT_FALSE(ok);
    put("f", "+1e+5");
    EXPECT_DOUBLE_EQ(read<double>("f", ok), 1e5);
    EXPECT_TRUE(ok);
    ConfigItem<double>(config).set("d", 3.14159265);
    EXPECT_EQ(config.itemValue("d"), ostring("3.14159"));
    EXPECT_DOUBLE_EQ(read<double>("d", ok), 3.14159);
    ConfigItem<double>(config).set("d", -1.5e-300);
    EXPECT_DOUBLE_EQ(read<double>("d", ok), -1.5e-300);
}

TEST_F(Typed, SixtyFourBitValues) {
    bool ok = false;
    ConfigItem<wxLongLong> ll(config);
    ll.set("l", wxLongLong(5000000000LL));
    EXPECT_EQ(config.itemValue("l"), ostring("1 705032704"));
    ll.set("l", wxLongLong(-1));
    EXPECT_EQ(config.itemValue("l"), ostring("-1 4294967295"));
    for (long long value :
         {-1LL, 0LL, 5000000000LL, 0x7FFFFFFF80000000LL, LLONG_MIN, LLONG_MAX, -4294967296LL}) {
        ll.set("l", wxLongLong(value));
        EXPECT_EQ(ll.get("l", &ok).GetValue(), value) << value;
        EXPECT_TRUE(ok);
    }
    put("l", "7");
    EXPECT_EQ(ll.get("l", &ok).GetValue(), 7);
    put("l", "-7");
    EXPECT_EQ(ll.get("l", &ok).GetValue(), -7);
    put("l", "1 2 3");
    EXPECT_EQ(ll.get("l", &ok).GetValue(), 0);
    EXPECT_FALSE(ok);

    ConfigItem<wxULongLong> ull(config);
    for (unsigned long long value : {0ULL, 4294967295ULL, 4294967296ULL, ULLONG_MAX}) {
        ull.set("u", wxULongLong(value));
        EXPECT_EQ(ull.get("u", &ok).GetValue(), value) << value;
        EXPECT_TRUE(ok);
    }
    EXPECT_EQ(config.itemValue("u"), ostring("4294967295 4294967295"));
    put("u", "4294967295"); // one word, not mistaken for -1
    EXPECT_EQ(ull.get("u", &ok).GetValue(), 4294967295ULL);
    EXPECT_TRUE(ok);
    put("u", "0 -5");
    EXPECT_EQ(ull.get("u", &ok).GetValue(), 0ULL);
    EXPECT_FALSE(ok);

    std::vector<wxLongLong> values{wxLongLong(LLONG_MIN), wxLongLong(-1), wxLongLong(5000000000LL)};
    ll.setList("ll", values);
    EXPECT_EQ(ll.getList("ll", &ok), values);
    EXPECT_TRUE(ok);
    std::vector<wxULongLong> unsignedValues{wxULongLong(ULLONG_MAX), wxULongLong(0),
                                            wxULongLong(4294967296ULL)};
    ull.setList("ul", unsignedValues);
    EXPECT_EQ(ull.getList("ul", &ok), unsignedValues);
    EXPECT_TRUE(ok);
    put("ll", "1 2 3");
    std::vector<wxLongLong> out;
    ll.getList("ll", out, &ok);
    EXPECT_TRUE(out.empty());
    EXPECT_FALSE(ok);
}

TEST_F(Typed, Lists) {
    bool ok = false;
    ConfigItem<int> item(config);
    item.setList("l", {1, 2, 3});
    EXPECT_EQ(config.itemValue("l"), ostring("1 2 3"));
    put("l", " 1\t2\n3 ");
    EXPECT_EQ(item.getList("l", &ok), (std::vector<int>{1, 2, 3}));
    EXPECT_TRUE(ok);
    put("l", "1 x 3");
    EXPECT_EQ(item.getList("l", &ok), (std::vector<int>{1}));
    EXPECT_FALSE(ok);
    put("l", "4 5");
    std::vector<int> out{9};
    item.getList("l", out, &ok);
    EXPECT_EQ(out, (std::vector<int>{9, 4, 5}));
    item.setList("l", {});
    EXPECT_EQ(config.itemValue("l"), ostring(""));
    EXPECT_TRUE(item.getList("l", &ok).empty());
    EXPECT_FALSE(ok);

    ConfigItem<ostring> text(config);
    text.setList("s", {"a b", "c"});
    EXPECT_EQ(config.itemValue("s"), ostring("a b c"));
    EXPECT_EQ(text.getList("s", &ok).size(), 3u);
    EXPECT_EQ(ConfigItem<ostring>::defaultList({"a b", "say \"hi\""}), ostring("\"a b\" \"say \\\"hi\\\"\""));
    EXPECT_EQ(ConfigItem<bool>::defaultList({true, false}), ostring("true false"));
    EXPECT_EQ(ConfigItem<wxLongLong>::defaultValue(wxLongLong(-1)), ostring("-1 4294967295"));

    ConfigItem<bool>(config).setList("bl", {true, false, true});
    EXPECT_EQ(ConfigItem<bool>(config).getList("bl", &ok), (std::vector<bool>{true, false, true}));
    ConfigItem<double>(config).setList("dl", {0.5, -2.25});
    EXPECT_EQ(ConfigItem<double>(config).getList("dl", &ok), (std::vector<double>{0.5, -2.25}));
}

TEST_F(Typed, DatesInAnyZone) {
    for (const char* zone : {"UTC", "Europe/Paris", "America/New_York"}) {
        ZoneGuard guard(zone);
        const wxDateTime winter(15, wxDateTime::Jan, 2024, 10, 30, 15);
        const wxDateTime summer(1, wxDateTime::Jul, 2023, 23, 59, 59);
        bool ok = false;
        ConfigItem<wxDateTime> item(config);
        item.set("d", winter);
        EXPECT_EQ(item.get("d", &ok), winter) << zone << " " << config.itemValue("d").str();
        EXPECT_TRUE(ok);
        item.setList("dl", {winter, summer});
        const std::vector<wxDateTime> list = item.getList("dl", &ok);
        ASSERT_EQ(list.size(), 2u) << zone << " " << config.itemValue("dl").str();
        EXPECT_EQ(list[0], winter) << zone;
        EXPECT_EQ(list[1], summer) << zone;
        EXPECT_TRUE(ok);
    }
    bool ok = true;
    ConfigItem<wxDateTime>(config).get("missing", &ok);
    EXPECT_FALSE(ok);
}

// A text whose value the type cannot hold is a failed read with the failure value, never the
// nearest bound read as success.
TEST_F(Typed, ValuesOutOfTheTypesRangeAreFailedReads) {
    bool ok = true;
    put("n", "99999999999");
    EXPECT_EQ(read<int>("n", ok), 0);
    EXPECT_FALSE(ok);
    put("n", "-99999999999");
    EXPECT_EQ(read<int>("n", ok), 0);
    EXPECT_FALSE(ok);
    put("n", "70000");
    EXPECT_EQ(read<short>("n", ok), 0);
    EXPECT_FALSE(ok);
    put("n", "-1");
    EXPECT_EQ(read<unsigned short>("n", ok), 0);
    EXPECT_FALSE(ok);
    put("n", "99999999999");
    EXPECT_EQ(read<unsigned int>("n", ok), 0u);
    EXPECT_FALSE(ok);
    put("n", "99999999999999999999");
    EXPECT_EQ(read<wxLongLong>("n", ok), wxLongLong(0));
    EXPECT_FALSE(ok);
    put("n", "1 99999999999");
    EXPECT_EQ(read<wxLongLong>("n", ok), wxLongLong(0));
    EXPECT_FALSE(ok);
    put("n", "1e999");
    EXPECT_EQ(read<double>("n", ok), 0.0);
    EXPECT_FALSE(ok);
    put("n", "1e50");
    EXPECT_EQ(read<float>("n", ok), 0.0f);
    EXPECT_FALSE(ok);
    put("n", "1 2 70000");
    std::vector<short> list = ConfigItem<short>(config).getList("n", &ok);
    EXPECT_EQ(list, (std::vector<short>{1, 2}));
    EXPECT_FALSE(ok);
    // The bounds themselves still read, and a value too small for a float is zero.
    put("n", "32767");
    EXPECT_EQ(read<short>("n", ok), 32767);
    EXPECT_TRUE(ok);
    put("n", "-2147483648");
    EXPECT_EQ(read<int>("n", ok), INT_MIN);
    EXPECT_TRUE(ok);
    put("n", "1e-60");
    EXPECT_EQ(read<float>("n", ok), 0.0f);
    EXPECT_TRUE(ok);
}

TEST_F(Typed, NanAndInfinitiesReadBackAsWritten) {
    bool ok = false;
    ConfigItem<double> d(config);
    d.set("d", std::numeric_limits<double>::quiet_NaN());
    EXPECT_TRUE(std::isnan(d.get("d", &ok))) << config.itemValue("d").str();
    EXPECT_TRUE(ok);
    d.set("d", std::numeric_limits<double>::infinity());
    EXPECT_EQ(d.get("d", &ok), std::numeric_limits<double>::infinity());
    EXPECT_TRUE(ok);
    d.set("d", -std::numeric_limits<double>::infinity());
    EXPECT_EQ(d.get("d", &ok), -std::numeric_limits<double>::infinity());
    EXPECT_TRUE(ok);
    ConfigItem<float> f(config);
    f.setList("f", {std::numeric_limits<float>::quiet_NaN(), -std::numeric_limits<float>::infinity(), 1.5f});
    const std::vector<float> values = f.getList("f", &ok);
    ASSERT_EQ(values.size(), 3u) << config.itemValue("f").str();
    EXPECT_TRUE(std::isnan(values[0]));
    EXPECT_EQ(values[1], -std::numeric_limits<float>::infinity());
    EXPECT_EQ(values[2], 1.5f);
    EXPECT_TRUE(ok);
    put("d", "nanx");
    d.get("d", &ok);
    EXPECT_FALSE(ok);
}
