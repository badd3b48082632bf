#include <gtest/gtest.h>

#include <sstream>

#include "pemblon/core/Exception.h"

using PBN::Exception;
using PBN::Strings::ostring;

namespace {

std::wstring formatted(const Exception& e) {
    return e.formatMessage().wstr();
}

class Reformatting : public Exception {
public:
    using Exception::Exception;
    ostring formatMessage() const override { return ostring(L"custom"); }
};

} // namespace

TEST(Exception, SeverityPrefixesAndEmptyMessage) {
    EXPECT_EQ(formatted(Exception()), L"Error: An unknown error has occured.");
    EXPECT_EQ(Exception().getSeverity(), Exception::SEVERE);
    EXPECT_EQ(formatted(Exception("abc", Exception::INFO)), L"abc");
    EXPECT_EQ(formatted(Exception("abc", Exception::WARNING)), L"Warning: abc");
    EXPECT_EQ(formatted(Exception("abc", Exception::SEVERE)), L"Error: abc");
    EXPECT_EQ(formatted(Exception("", Exception::DEBUG3)), L"An unknown error has occured.");
    EXPECT_TRUE(Exception("abc").formatMessage().isUnicode());
    EXPECT_EQ(Exception("abc", Exception::WARNING).getMessage().str(), "abc");
}

TEST(Exception, FromWin32CodesAndHresults) {
    Exception ok(0u, false);
    EXPECT_EQ(ok.getSeverity(), Exception::INFO);
    EXPECT_EQ(ok.getMessage().str(), "The operation completed successfully.\r\n");

    Exception denied(5u, false);
    EXPECT_EQ(denied.getSeverity(), Exception::SEVERE);
    EXPECT_EQ(denied.getMessage().str(), Exception::errorToString(0x80070005u).str());
    EXPECT_EQ(denied.getMessage().str(), "Access is denied.\r\n");

    // A positive HRESULT other than 0 and 1 is a success code: the severity starts as INFO.
    EXPECT_EQ(Exception(0x00040000u, true).getSeverity(), Exception::INFO);
    EXPECT_EQ(Exception(0x80004005u, true).getSeverity(), Exception::SEVERE);
    // Codes with the top bit set are HRESULTs already, flag or not.
    EXPECT_EQ(Exception(0x80004005u, false).getMessage().str(), "Unspecified error\r\n");
    EXPECT_EQ(Exception::errorToString(0xDEADu).str(), "");
}

TEST(Exception, SetHresultKeepsMessageAndAdjustsSeverity) {
    Exception e("ctx: ");
    e.setHRESULT(1);
    EXPECT_EQ(e.getSeverity(), Exception::WARNING);
    EXPECT_EQ(e.getMessage().str(), "ctx: Incorrect function.\r\n");

    Exception w("x", Exception::WARNING);
    w.setHRESULT(7);
    EXPECT_EQ(w.getSeverity(), Exception::WARNING);
    EXPECT_EQ(w.getMessage().str(), "x");

    Exception i("", Exception::INFO);
    i.setWinError(2);
    EXPECT_EQ(i.getSeverity(), Exception::SEVERE);
    EXPECT_EQ(i.getMessage().str(), "The system cannot find the file specified.\r\n");
}

TEST(Exception, CheckComErrorThrowsOnlyOnFailure) {
    EXPECT_NO_THROW(Exception::checkCOMError(0));
    EXPECT_NO_THROW(Exception::checkCOMError(1));
    try {
        Exception::checkCOMError(static_cast<int32_t>(0x80070005u));
        FAIL() << "no exception";
    } catch (const Exception& e) {
        EXPECT_EQ(e.getSeverity(), Exception::SEVERE);
        EXPECT_EQ(e.getMessage().str(), "Access is denied.\r\n");
    }
}

TEST(Exception, SeverityTexts) {
    EXPECT_EQ(Exception::stringToSeverity("warning"), Exception::WARNING);
    EXPECT_EQ(Exception::stringToSeverity("Debug7"), Exception::DEBUG7);
    EXPECT_EQ(Exception::stringToSeverity("SEVERE"), Exception::SEVERE);
    EXPECT_EQ(Exception::stringToSeverity("DEBUG0"), Exception::DEBUG0);
    EXPECT_EQ(Exception::stringToSeverity(""), Exception::DEBUG0);
    EXPECT_EQ(Exception::stringToSeverity("ERROR"), Exception::DEBUG0);
    EXPECT_EQ(Exception::severityToString(static_cast<Exception::Severity>(42)).str(), "DEBUG0");
    EXPECT_EQ(Exception::severityToString(static_cast<Exception::Severity>(-1)).str(), "DEBUG0");
    for (int v = 0; v <= 10; ++v) {
        auto s = static_cast<Exception::Severity>(v);
        EXPECT_EQ(Exception::stringToSeverity(Exception::severityToString(s)), s);
    }
}

TEST(Exception, CopiesAndStreamUseVirtualFormat) {
    Exception a("abc", Exception::WARNING);
    Exception b;
    b = a;
    b = b;
    EXPECT_EQ(b.getSeverity(), Exception::WARNING);
    EXPECT_EQ(b.getMessage().str(), "abc");

    std::wostringstream os;
    os << a;
    EXPECT_EQ(os.str(), L"Warning: abc");

    Reformatting r("x");
    const Exception& base = r;
    std::wostringstream os2;
    os2 << base;
    EXPECT_EQ(os2.str(), L"custom");
}
