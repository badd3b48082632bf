# The mail client: addresses, messages and one SMTP conversation over a wx socket.
target_sources(pemblon PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/SMTPException.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SMTPAddr.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SMTPMessage.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SMTPText.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SMTPSession.cpp
)
