#pragma once

// Rates that have no Bnnn constant (14400, 28800, 56000) set through termios2 and BOTHER. Kept
// apart: <asm/termbits.h> cannot be included beside <termios.h>.

namespace win {
// Sets input and output rate of an open terminal; false when the driver refuses.
bool SetCustomBaud(int fd, unsigned baud);
} // namespace win
