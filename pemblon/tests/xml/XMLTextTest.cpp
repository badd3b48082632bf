// Text crossing into libxml2 and back: every character arrives whole, what XML cannot hold is
// refused, and whatever save() accepts loads again.
#include "pemblon/tests/xml/XMLTestSupport.h"

#include "pemblon/xml/XMLAttribute.h"
#include "pemblon/xml/XMLDoc.h"
#include "pemblon/xml/XMLMixedNode.h"
#include "pemblon/xml/XMLNamespace.h"
#include "pemblon/xml/XMLNode.h"
#include "platform/common/Cp1252.h"

#include <filesystem>
#include <functional>
#include <vector>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

using PBN::Strings::ostring;
using PBN::XML::XMLAttribute;
using PBN::XML::XMLDoc;
using PBN::XML::XMLException;
using PBN::XML::XMLNamespace;
using PBN::XML::XMLNode;

namespace {

// A document with a root "r" and one child "t" holding `text` and an attribute "a" = `value`.
XMLDoc docWith(const ostring& text, const ostring& value) {
    XMLDoc doc;
    doc.getRoot().setName("r");
    XMLNode t = doc.getRoot().addChild("t", -1);
    t.setText(text, true);
    t.addAttribute("a", value);
    return doc;
}

// Saves, loads again and gives back the child's text and attribute value.
std::pair<ostring, ostring> roundTrip(const ostring& text, const ostring& value, const std::string& path) {
    XMLDoc doc = docWith(text, value);
    EXPECT_TRUE(doc.save(ostring(path.c_str()), true));
    XMLDoc loaded(ostring(path.c_str()), false, false);
    XMLNode t = loaded.getRoot().getChild("t");
    return {t.getText(), t.getAttribute("a").getValue()};
}

} // namespace

TEST(XMLTextTest, WideTextKeepsCharactersBeyondLatin1) {
    XMLDoc doc;
    XMLNode root = doc.getRoot();
    root.setName("r");
    root.setText(ostring(L"5\u20ac only"), true);
    // Comes back in CP1252 (0x80 is the euro sign), whole.
    EXPECT_EQ(root.getText().str(), "5\x80 only");
    XMLAttribute a = root.addAttribute("v", ostring(L"x\u0152y"));
    EXPECT_EQ(a.getValue().str(), "x\x8Cy");
    doc.setDocEncoding("UTF-8");
    EXPECT_NE(doc.toString(true).str().find("5\xE2\x82\xAC only"), std::string::npos);
    // A wide name reaches libxml2 in UTF-8 too.
    XMLNode child = root.addChild(ostring(L"caf\u00e9"), -1);
    EXPECT_EQ(child.getName().str(), "caf\xC3\xA9");
}

TEST(XMLTextTest, TextWithoutACp1252FormComesBackWide) {
    xmltest::TempDir dir;
    const std::string path = dir.file("snow.xml");
    xmltest::writeBytes(
        path, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<r>snow\xE2\x98\x83man caf\xC3\xA9</r>\n");
    XMLDoc doc(ostring(path.c_str()), false, false);
    const ostring text = doc.getRoot().getText();
    EXPECT_TRUE(text.isUnicode());
    EXPECT_EQ(text.wstr(), L"snow\u2603man caf\u00e9");
    doc.getRoot().setText(text, true);
    ASSERT_TRUE(doc.save());
    EXPECT_NE(xmltest::readBytes(path).find("snow\xE2\x98\x83man caf\xC3\xA9"), std::string::npos);
}

TEST(XMLTextTest, EveryCp1252ByteAndMixedWideTextRoundTrip) {
    xmltest::TempDir dir;
    std::string all;
    for (int b = 0x20; b < 0x100; ++b)
        all += static_cast<char>(b);
    all += "\t\n";
    // Five bytes Windows leaves undefined: U+0081, U+008D, U+008F, U+0090, U+009D.
    const auto [text, value] =
        roundTrip(ostring(all.c_str()), ostring("caf\xE9 \x81\x8D\x8F\x90\x9D"), dir.file("a.xml"));
    EXPECT_EQ(text.wstr(), ostring(all.c_str()).wstr());
    EXPECT_EQ(value.wstr(), ostring("caf\xE9 \x81\x8D\x8F\x90\x9D").wstr());
    // Written in the default ISO-8859-1, where U+0081 ... are single bytes again.
    EXPECT_NE(xmltest::readBytes(dir.file("a.xml")).find("\x81\x8D\x8F\x90\x9D"), std::string::npos);

    const ostring wide(L"\u20ac\u0153\u2603\u00e9 \U0001F600");
    const auto [wtext, wvalue] = roundTrip(wide, wide, dir.file("w.xml"));
    EXPECT_EQ(wtext.wstr(), wide.wstr());
    EXPECT_EQ(wvalue.wstr(), wide.wstr());

    // A character beyond U+FFFF held as a UTF-16 pair arrives as that one character.
    const ostring pair(std::wstring{L'a', wchar_t(0xD83D), wchar_t(0xDE00)});
    const auto [ptext, pvalue] = roundTrip(pair, pair, dir.file("p.xml"));
    EXPECT_EQ(ptext.wstr(), std::wstring(L"a\U0001F600"));
}

TEST(XMLTextTest, CharactersXmlCannotHoldAreRefused) {
    XMLDoc doc;
    XMLNode root = doc.getRoot();
    root.setName("r");
    EXPECT_THROW(root.setText("a\x01"
                              "b",
                              true),
                 XMLException);
    EXPECT_THROW(root.addAttribute("v", "x\x02y"), XMLException);
    EXPECT_THROW(root.setText(ostring(std::wstring{L'a', wchar_t(0xFFFE)}), true), XMLException);
    EXPECT_THROW(root.setText(ostring(std::wstring{L'a', wchar_t(0xD800), L'b'}), true), XMLException);
    EXPECT_THROW(root.castToMixedNode().addText("\x1B[0m", -1), XMLException);
    root.addComment("bell\x07", -1); // refused like a comment holding "--"
    EXPECT_EQ(root.getCommentAt(0).size(), 0u);
    // Tab, LF and CR stay allowed.
    root.setText("a\tb\nc\rd", true);
    EXPECT_EQ(root.getText().str(), "a\tb\nc\rd");
}

TEST(XMLTextTest, WhatSaveAcceptsLoadsAgain) {
    xmltest::TempDir dir;
    const std::string path = dir.file("s.xml");
    // No named root: nothing is written.
    EXPECT_FALSE(XMLDoc().save(ostring(path.c_str()), true));
    EXPECT_FALSE(std::filesystem::exists(path));

    // Deeper than the loader reads: refused, the old file stays.
    xmltest::writeBytes(path, "<?xml version=\"1.0\"?>\n<old/>\n");
    XMLDoc deep;
    deep.getRoot().setName("d");
    XMLNode cur = deep.getRoot();
    for (int i = 0; i < 300; ++i)
        cur = cur.addChild("d", -1);
    EXPECT_FALSE(deep.save(ostring(path.c_str()), true));
    EXPECT_EQ(xmltest::readBytes(path), "<?xml version=\"1.0\"?>\n<old/>\n");
    // 250 levels load, so they save.
    XMLDoc fine;
    fine.getRoot().setName("d");
    cur = fine.getRoot();
    for (int i = 0; i < 250; ++i)
        cur = cur.addChild("d", -1);
    ASSERT_TRUE(fine.save(ostring(path.c_str()), true));
    EXPECT_NO_THROW(XMLDoc(ostring(path.c_str()), false, false));

    // Names, prefixes, namespaces and instructions the loader refuses.
    const std::vector<std::function<void(XMLNode&)>> unloadable = {
        [](XMLNode& r) { r.setName("a b"); },
        [](XMLNode& r) { r.setName("p:a"); },
        [](XMLNode& r) { r.addAttribute("a b", "v"); },
        [](XMLNode& r) { r.addAttribute("q:b", "v"); },
        [](XMLNode& r) { XMLNamespace(r, "p", "relative"); },
        [](XMLNode& r) { XMLNamespace(r, "p", ""); },
        [](XMLNode& r) { r.castToMixedNode().addProcInst("xml", -1); },
        [](XMLNode& r) { r.castToMixedNode().addProcInst("p:q", -1); },
        // Characters the file's encoding (ISO-8859-1) lacks, where no reference may stand.
        [](XMLNode& r) { r.setName(ostring(std::wstring(L"r\u0101"))); },
        [](XMLNode& r) { r.addAttribute(ostring(std::wstring(L"a\u0101")), "v"); },
        [](XMLNode& r) { r.addComment(ostring(std::wstring(L"c\u2603")), -1); },
        [](XMLNode& r) { r.addProcInst("p", ostring(std::wstring(L"t\u2603")), -1); },
    };
    const std::string before = xmltest::readBytes(path);
    for (size_t i = 0; i < unloadable.size(); ++i) {
        XMLDoc named;
        named.getRoot().setName("r");
        XMLNode root = named.getRoot();
        unloadable[i](root);
        EXPECT_FALSE(named.save(ostring(path.c_str()), true)) << i;
        EXPECT_EQ(xmltest::readBytes(path), before) << i;
    }
}

TEST(XMLTextTest, SaveRemovesTemporariesOfDeadProcessesOnly) {
    xmltest::TempDir dir;
    const std::string path = dir.file("s.xml");
    // A process that has ended, and one that still runs.
    const pid_t dead = fork();
    if (dead == 0)
        _exit(0);
    waitpid(dead, nullptr, 0);
    const pid_t live = fork();
    if (live == 0) {
        pause();
        _exit(0);
    }
    const std::string stale = path + ".tmp" + std::to_string(dead) + ".3";
    const std::string busy = path + ".tmp" + std::to_string(live) + ".0";
    const std::string mine = path + ".tmp" + std::to_string(getpid()) + ".900";
    const std::string other = dir.file("t.xml.tmp") + std::to_string(dead) + ".1";
    const std::string unlike = path + ".tmp" + std::to_string(dead) + ".x";
    for (const std::string& f : {stale, busy, mine, other, unlike})
        xmltest::writeBytes(f, "partial");
    XMLDoc doc;
    doc.getRoot().setName("r");
    EXPECT_TRUE(doc.save(ostring(path.c_str()), true));
    EXPECT_FALSE(std::filesystem::exists(stale));
    EXPECT_TRUE(std::filesystem::exists(busy));
    EXPECT_TRUE(std::filesystem::exists(mine));
    EXPECT_TRUE(std::filesystem::exists(other));
    EXPECT_TRUE(std::filesystem::exists(unlike));
    kill(live, SIGKILL);
    waitpid(live, nullptr, 0);
}

TEST(XMLTextTest, VeryDeepTreesAreWalkedWithoutRecursion) {
    XMLDoc doc;
    doc.getRoot().setName("d");
    XMLNode cur = doc.getRoot();
    for (int i = 0; i < 100000; ++i) {
        cur.castToMixedNode().addText("  ", -1);
        cur = cur.addChild("d", -1);
    }
    doc.getRoot().removeBlanks();
    EXPECT_EQ(doc.getRoot().getChildrenCount(), 1u);
    EXPECT_EQ(cur.getParent().getChildrenCount(), 1u);
    doc.getRoot().removeNamespace("", true);
}

TEST(Cp1252, EveryByteHasACharacterAndBack) {
    for (int b = 0; b < 256; ++b) {
        const char32_t c = Cp1252::toUnicode(static_cast<unsigned char>(b));
        EXPECT_EQ(Cp1252::fromUnicode(c), b) << b;
        std::string back;
        ASSERT_TRUE(Cp1252::fromUtf8(Cp1252::toUtf8(std::string(1, static_cast<char>(b))), back));
        EXPECT_EQ(back, std::string(1, static_cast<char>(b)));
    }
    EXPECT_EQ(Cp1252::toUnicode(0x80), U'\u20ac');
    EXPECT_EQ(Cp1252::toUnicode(0x9D), U'\u009d');
    EXPECT_EQ(Cp1252::fromUnicode(U'\u0080'), -1); // the euro sign's byte is not U+0080's
    EXPECT_EQ(Cp1252::fromUnicode(U'\u2603'), -1);
    std::string out;
    EXPECT_FALSE(Cp1252::fromUtf8("snow\xE2\x98\x83", out));
    EXPECT_FALSE(Cp1252::fromUtf8("\xC3", out));         // cut short
    EXPECT_FALSE(Cp1252::fromUtf8("\xC0\xA9", out));     // overlong
    EXPECT_FALSE(Cp1252::fromUtf8("\xED\xA0\x80", out)); // a surrogate
}
