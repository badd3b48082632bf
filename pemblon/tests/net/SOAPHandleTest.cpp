#include "pemblon/net/SOAPHandle.h"

#include <cstdio>

#include <gtest/gtest.h>
#include <wx/mstream.h>

#include "pemblon/net/SOAPException.h"
#include "pemblon/net/SOAPFault.h"
#include "pemblon/tests/net/LoopbackServers.h"
#include "pemblon/tests/net/NetTestSupport.h"
#include "pemblon/xml/XMLDoc.h"

using NetTest::narrow;
using PBN::Net::SOAPFault;
using PBN::Net::SOAPHandle;
using PBN::Strings::ostring;

namespace {

ostring text(const std::string& s) {
    return ostring(s.c_str());
}

std::string contents(const wxMemoryOutputStream& out) {
    std::string bytes(static_cast<size_t>(out.GetLength()), '\0');
    out.CopyTo(bytes.data(), bytes.size());
    return bytes;
}

// The request head (up to its empty line) of an echoed request.
std::string head(const std::string& echo) {
    return echo.substr(0, echo.find("\r\n\r\n") + 2);
}

std::string messageIdOf(const std::string& echo) {
    const size_t at = echo.find("start=\"<");
    return echo.substr(at + 8, echo.find(">\"", at) - at - 8);
}

SOAPFault faultFrom(const std::string& xml) {
    NetTest::TempDir dir;
    NetTest::writeFile(dir.file("f.xml"), xml);
    PBN::XML::XMLDoc doc(text(dir.file("f.xml")));
    return SOAPFault(doc.getRoot());
}

// What servers/soap_envelope.py reads from an echoed multipart request: the start part's charset
// label, a line end, then the root element's text as UTF-8.
// With mode "tree": the element tree read by the label, a line end, the tree read from the bytes.
std::string envelopeAsRead(const std::string& echo, const std::string& mode = "") {
    NetTest::TempDir dir;
    NetTest::writeFile(dir.file("request"), echo);
    const std::string command = "/usr/bin/python3 " + std::string(PBN_NET_TEST_SERVERS) +
                                "/soap_envelope.py " + dir.file("request") + " " + mode;
    std::string out;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;)
            out.append(buffer, n);
        if (pclose(pipe) != 0)
            out += " (failed)";
    }
    return out;
}

class SOAPHandleTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { server = NetTest::startScriptedHttp().release(); }
    static void TearDownTestSuite() {
        delete server;
        server = nullptr;
    }
    static NetTest::ScriptedHttp* server;
};
NetTest::ScriptedHttp* SOAPHandleTest::server = nullptr;

} // namespace

TEST_F(SOAPHandleTest, SinglePartIsSentChunkedWithItsAction) {
    SOAPHandle handle(text(server->url() + "/echo"));
    handle.addCustomHeader(text("X-Key"), text("v"));
    const std::string envelope = "<Envelope>caf\xe9</Envelope>";
    wxMemoryInputStream request(envelope.data(), envelope.size());
    wxMemoryOutputStream reply;
    ASSERT_TRUE(handle.sendMessage(text(" \t do.it\r\n"), reply, request));
    EXPECT_EQ(handle.getResponseCode(), 200);
    const std::string echo = contents(reply);
    EXPECT_EQ(echo.rfind("POST /echo HTTP/1.1\r\n", 0), 0u);
    EXPECT_NE(echo.find("\r\nContent-type: text/xml; charset=ISO-8859-1\r\nTransfer-Encoding: chunked\r\n"
                        "SOAPAction: \"urn:do.it\"\r\n"),
              std::string::npos);
    EXPECT_NE(echo.find("\r\nX-Key: v\r\n"), std::string::npos);
    EXPECT_EQ(echo.substr(echo.size() - envelope.size()), envelope);

    wxMemoryInputStream again("x", 1);
    wxMemoryOutputStream second;
    ASSERT_TRUE(handle.sendMessage(text(""), second, again));
    EXPECT_NE(contents(second).find("\r\nSOAPAction: \"urn:\"\r\n"), std::string::npos);
}

TEST_F(SOAPHandleTest, AFaultReplyIsAWorkingTransfer) {
    SOAPHandle handle(text(server->url() + "/fault"));
    wxMemoryInputStream request("<e/>", 4);
    wxMemoryOutputStream reply;
    ASSERT_TRUE(handle.sendMessage(text("x"), reply, request));
    EXPECT_EQ(handle.getResponseCode(), 500);
    const std::string body = contents(reply);
    const size_t start = body.find("<soap:Fault>");
    const SOAPFault fault =
        faultFrom("<Fault>" + body.substr(start + 12, body.find("</soap:Fault>") - start - 12) + "</Fault>");
    EXPECT_EQ(narrow(fault.getFaultCode()), "soap:Server");
    EXPECT_EQ(narrow(fault.getFaultString()), "Broken");
    EXPECT_EQ(narrow(fault.getDetail()), "Disk full");

    SOAPHandle refused(text("http://127.0.0.1:" + std::to_string(NetTest::freePort())));
    wxMemoryInputStream none("x", 1);
    EXPECT_FALSE(refused.sendMessage(text("x"), reply, none));
    EXPECT_EQ(refused.getCURLError(), CURLE_COULDNT_CONNECT);
}

TEST_F(SOAPHandleTest, MultipartCarriesTheEnvelopeAndAttachments) {
    NetTest::TempDir dir;
    const std::string binary = NetTest::patternBytes(3000);
    NetTest::writeFile(dir.file("data.bin"), binary);
    SOAPHandle handle(text(server->url() + "/echo"));
    wxMemoryOutputStream reply;
    const ostring envelope(L"<Envelope>caf\u00e9</Envelope>");
    ASSERT_TRUE(handle.sendMessage(text("  act "), reply, envelope, {text("att0"), text("unused")},
                                   {text(dir.file("data.bin"))}));
    const std::string echo = contents(reply);
    const std::string id = messageIdOf(echo);
    EXPECT_EQ(id.size(), 36u);
    EXPECT_EQ(id.find_first_not_of("0123456789abcdef-"), std::string::npos);
    EXPECT_EQ(id[14], '4');
    EXPECT_NE(head(echo).find("\r\nContent-Type: multipart/related; type=\"text/xml\"; start=\"<" + id +
                              ">\"; boundary="),
              std::string::npos);
    EXPECT_EQ(head(echo).find("SOAPAction"), std::string::npos);
    EXPECT_NE(
        echo.find("name=\"soap_message\"\r\nContent-Type: text/xml; charset=ISO-8859-1\r\n"
                  "Content-Transfer-Encoding: 8bit\r\nSOAPAction: \"urn:act\"\r\nContent-ID: <" +
                  id +
                  ">\r\n\r\n<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><Envelope>caf\xe9</Envelope>\r\n"),
        std::string::npos);
    EXPECT_NE(echo.find("name=\"binary_attachment_0\"; filename=\"data.bin\"\r\n"
                        "Content-Type: application/octet-stream\r\nContent-Transfer-Encoding: binary\r\n"
                        "Content-ID: <att0>\r\n\r\n" +
                        binary + "\r\n"),
              std::string::npos);

    wxMemoryOutputStream second;
    ASSERT_TRUE(handle.sendMessage(text("act"), second, envelope, {}, {}));
    const std::string bare = contents(second);
    EXPECT_NE(messageIdOf(bare), id);
    EXPECT_NE(head(bare).find("multipart/related"), std::string::npos);
    EXPECT_EQ(bare.find("binary_attachment"), std::string::npos);

    const int before = server->requestCount();
    EXPECT_FALSE(handle.sendMessage(text("act"), second, envelope, {}, {text(dir.file("data.bin"))}));
    EXPECT_EQ(server->requestCount(), before);
}

TEST(SOAPFaultTest, ReadsExactNamesInAnyOrder) {
    const SOAPFault fault =
        faultFrom("<Fault xmlns:s='urn:s'><detail>d1<b>bold</b>d2</detail><FaultCode>no</FaultCode>"
                  "<s:faultstring>text</s:faultstring><!-- c --><faultcode>c1</faultcode>"
                  "<faultcode>c2</faultcode></Fault>");
    EXPECT_EQ(narrow(fault.getFaultCode()), "c2");
    EXPECT_EQ(narrow(fault.getFaultString()), "text");
    EXPECT_EQ(narrow(fault.getDetail()), "d1d2");
    const SOAPFault partial = faultFrom("<Fault><faultcode>c</faultcode></Fault>");
    EXPECT_EQ(narrow(partial.getDetail()), "");
    SOAPFault copy;
    copy = partial;
    EXPECT_EQ(narrow(copy.getFaultCode()), "c");

    const PBN::Net::SOAPException none;
    EXPECT_EQ(none.getSeverity(), PBN::Exception::SEVERE);
    EXPECT_EQ(narrow(none.getMessage()), "");
}

// A line break or NUL inside the action, a custom header or a Content-ID would add header lines
// of the caller's choosing: both forms refuse it with a reason and send nothing.
TEST_F(SOAPHandleTest, TextsThatWouldAddHeaderLinesAreRefused) {
    NetTest::TempDir dir;
    NetTest::writeFile(dir.file("a.bin"), "abc");
    const ostring envelope(L"<Envelope/>");
    const auto refusedBoth = [&](SOAPHandle& handle, const ostring& action, const ostring& contentId,
                                 const std::string& what) {
        SCOPED_TRACE(what);
        const int before = server->requestCount();
        wxMemoryInputStream request("<e/>", 4);
        wxMemoryOutputStream reply;
        if (contentId.size() == 0) {
            EXPECT_FALSE(handle.sendMessage(action, reply, request));
            EXPECT_EQ(handle.getCURLError(), CURLE_BAD_FUNCTION_ARGUMENT);
        }
        EXPECT_FALSE(handle.sendMessage(action, reply, envelope, {contentId.size() ? contentId : text("id")},
                                        {text(dir.file("a.bin"))}));
        EXPECT_EQ(handle.getCURLError(), CURLE_BAD_FUNCTION_ARGUMENT);
        EXPECT_EQ(narrow(handle.getErrorString()).rfind("Refused before sending: ", 0), 0u);
        EXPECT_EQ(server->requestCount(), before);
    };
    SOAPHandle handle(text(server->url() + "/echo"));
    refusedBoth(handle, ostring(L"do\r\nX-Injected: yes"), ostring(), "action CR LF");
    refusedBoth(handle, ostring(L"do\nX-Injected: yes"), ostring(), "action LF");
    refusedBoth(handle, ostring(std::wstring(L"do\0X", 4)), ostring(), "action NUL");
    refusedBoth(handle, text("do"), ostring(L"id>\r\nX-Injected: <yes"), "Content-ID");
    SOAPHandle headed(text(server->url() + "/echo"));
    headed.addCustomHeader(text("X-Key"), ostring(L"v\r\nX-Injected: yes"));
    refusedBoth(headed, text("do"), ostring(), "custom header value");
    headed.clearCustomHeaders();
    headed.addCustomHeader(ostring(L"X-Injected: yes\r\nX-Key"), text("v"));
    refusedBoth(headed, text("do"), ostring(), "custom header name");
    headed.clearCustomHeaders();
    headed.addCustomHeader(text("X-A"), ostring(std::wstring(L"a\0X-Injected: yes", 17)));
    refusedBoth(headed, text("do"), ostring(), "custom header value NUL");
    EXPECT_EQ(narrow(headed.getErrorString()),
              "Refused before sending: a custom header holds a NUL, which would "
              "cut its line short");
    headed.clearCustomHeaders();
    headed.addCustomHeader(ostring(std::wstring(L"X-A\0X-Injected", 15)), text("yes"));
    refusedBoth(headed, text("do"), ostring(), "custom header name NUL");
    EXPECT_EQ(narrow(headed.getErrorString()),
              "Refused before sending: a custom header's name holds a NUL, which "
              "would cut its line short");

    // Line ends around the action are still trimmed, and a clean request goes through.
    headed.clearCustomHeaders();
    wxMemoryOutputStream reply;
    ASSERT_TRUE(
        headed.sendMessage(text("\r\ndo\r\n"), reply, envelope, {text("id")}, {text(dir.file("a.bin"))}));
    EXPECT_EQ(contents(reply).find("X-Injected"), std::string::npos);
    EXPECT_NE(contents(reply).find("SOAPAction: \"urn:do\"\r\n"), std::string::npos);
}

// The envelope goes out under its ISO-8859-1 label; what the charset lacks goes as character
// references, so a reader that trusts the label gets every character back.
TEST_F(SOAPHandleTest, TheMultipartEnvelopeIsWhatItsLabelSays) {
    SOAPHandle handle(text(server->url() + "/echo"));
    for (const ostring& envelope :
         {ostring(L"<Envelope>\x0160imon \x2603 \U0001F600 \x00e9 &amp; &#x41;</Envelope>"),
          ostring("<Envelope>\x8Aimon \xe9</Envelope>")}) {
        SCOPED_TRACE(envelope.isUnicode());
        wxMemoryOutputStream reply;
        ASSERT_TRUE(handle.sendMessage(text("act"), reply, envelope, {}, {}));
        const std::string echo = contents(reply);
        const std::string expected = envelope.isUnicode()
                                         ? "\xC5\xA0imon \xE2\x98\x83 \xF0\x9F\x98\x80 \xC3\xA9 & A"
                                         : "\xC5\xA0imon \xC3\xA9";
        EXPECT_EQ(envelopeAsRead(echo), "iso-8859-1\n" + expected);
        if (envelope.isUnicode())
            EXPECT_NE(echo.find("&#x160;imon &#x2603; &#x1F600; \xe9"), std::string::npos);
    }
}

// Every construct of the envelope reads back whole, by its label and by its XML declaration alike:
// what ISO-8859-1 lacks becomes a character reference, and a CDATA section is closed around one.
// Where XML reads no reference (a comment, a name) such a character is refused with its reason.
TEST_F(SOAPHandleTest, EveryConstructOfTheEnvelopeReadsBackWhole) {
    SOAPHandle handle(text(server->url() + "/echo"));
    const std::string tree = "<Envelope a=\"\xE2\x98\x83 \xC3\xA9'\"><e>\xE2\x98\x83 \xC3\xA9 &lt;x&gt;]]</e>"
                             "\xC3\xA9\xE2\x98\x83</Envelope>";
    for (const wchar_t* declaration :
         {L"", L"<?xml version=\"1.0\" encoding=\"UTF-8\"?>", L"<?xml version='1.0'?>",
          L"<?xml version=\"1.0\" encoding='iso-8859-1' standalone=\"yes\"?>", L"\xFEFF",
          L"\xFEFF<?xml version=\"1.0\" encoding=\"UTF-8\"?>"}) {
        SCOPED_TRACE(narrow(ostring(declaration)));
        const ostring envelope(
            std::wstring(declaration) +
            L"<Envelope a=\"\x2603 \x00E9'\"><!-- \x00E9 --><e><![CDATA[\x2603 \x00E9 <x>]]]]>"
            L"<![CDATA[]]></e><?pi \x00E9?>\x00E9\x2603</Envelope>");
        wxMemoryOutputStream reply;
        ASSERT_TRUE(handle.sendMessage(text("act"), reply, envelope, {}, {}));
        const std::string read = envelopeAsRead(contents(reply), "tree");
        EXPECT_EQ(read.substr(0, read.find('\n')), tree);
        EXPECT_EQ(read.substr(read.find('\n') + 1), tree);
    }

    for (const auto& [envelope, where] :
         {std::pair{ostring(L"<e><!-- \x2603 --></e>"), std::string("U+2603 in a comment")},
          std::pair{ostring(L"<\x2603/>"), std::string("U+2603 in a name")},
          std::pair{ostring(L"<e>a</e><?pi \x4E00?>"), std::string("U+4E00 in a processing instruction")}}) {
        SCOPED_TRACE(where);
        const int before = server->requestCount();
        wxMemoryOutputStream reply;
        EXPECT_FALSE(handle.sendMessage(text("act"), reply, envelope, {}, {}));
        EXPECT_EQ(handle.getCURLError(), CURLE_BAD_FUNCTION_ARGUMENT);
        EXPECT_EQ(narrow(handle.getErrorString()),
                  "Refused before sending: the envelope holds " + where +
                      ", where ISO-8859-1 lacks it and XML reads no character "
                      "reference");
        EXPECT_EQ(server->requestCount(), before);
    }
}

// A refusal of the multipart form says what it refused and why, as a failed transfer does.
TEST_F(SOAPHandleTest, TooFewContentIdsAreRefusedWithTheReason) {
    NetTest::TempDir dir;
    NetTest::writeFile(dir.file("a.bin"), "a");
    SOAPHandle handle(text(server->url() + "/echo"));
    const int before = server->requestCount();
    wxMemoryOutputStream reply;
    EXPECT_FALSE(handle.sendMessage(text("act"), reply, ostring(L"<e/>"), {text("one")},
                                    {text(dir.file("a.bin")), text(dir.file("a.bin"))}));
    EXPECT_EQ(handle.getCURLError(), CURLE_BAD_FUNCTION_ARGUMENT);
    EXPECT_EQ(narrow(handle.getErrorString()),
              "Refused before sending: the message names 1 Content-ID for 2 files; every file needs one");
    EXPECT_EQ(server->requestCount(), before);
}
