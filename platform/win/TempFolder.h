#pragma once

// The folder for temporary files: TEMP, then TMPDIR, then /tmp (the first one set and not empty).

#include <string>

std::string GetTemporaryFolder();
