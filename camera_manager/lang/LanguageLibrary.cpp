// What a language library exports: its string table (camera_manager/lang/<code>/ or the
// program's own English table).
#include "platform/win/ResourceStrings.h"

extern const ResourceString managerStrings[];
extern const size_t managerStringCount;

extern "C" __attribute__((visibility("default"))) const ResourceString* ZekoResourceStrings(size_t* count) {
    if (count)
        *count = managerStringCount;
    return managerStrings;
}
