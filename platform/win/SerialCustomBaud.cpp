#include "platform/win/SerialCustomBaud.h"

#include <asm/termbits.h>
#include <sys/ioctl.h>

namespace win {

bool SetCustomBaud(int fd, unsigned baud) {
    struct termios2 tio {};
    if (ioctl(fd, TCGETS2, &tio) != 0)
        return false;
    tio.c_cflag &= ~CBAUD;
    tio.c_cflag |= BOTHER;
    tio.c_cflag &= ~(CBAUD << IBSHIFT);
    tio.c_cflag |= BOTHER << IBSHIFT;
    tio.c_ispeed = baud;
    tio.c_ospeed = baud;
    return ioctl(fd, TCSETS2, &tio) == 0;
}

} // namespace win
