# The mail client: addresses, messages and wire forms as plain values; the session against a
# scripted loopback server (failures, split and slow replies) and against aiosmtpd run with
# /usr/bin/python3 on 127.0.0.1 (smtp/servers/smtp_sink.py).
zeko_add_gtest(NAME pemblon_smtp_tests
    SOURCES
        ${CMAKE_CURRENT_LIST_DIR}/smtp/SmtpTestMain.cpp
        ${CMAKE_CURRENT_LIST_DIR}/smtp/SmtpTestSupport.cpp
        ${CMAKE_CURRENT_LIST_DIR}/smtp/SMTPAddrTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/smtp/SMTPMessageTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/smtp/SMTPTextTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/smtp/SMTPSessionTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/smtp/SMTPDeliveryTest.cpp
    LIBS pemblon)
if(TARGET pemblon_smtp_tests)
    target_compile_definitions(pemblon_smtp_tests PRIVATE
        PBN_SMTP_TEST_SERVERS="${CMAKE_CURRENT_LIST_DIR}/smtp/servers")
endif()
