// The keys of a camera description file, each with how its value is read and where it is stored.
#pragma once

#include "platform/zeko/CameraDescription.h"

#include <string>
#include <string_view>
#include <vector>

namespace zeko::sim {

class DescriptionKeys {
public:
    // Stores the value of key in camera; throws DescriptionError for an unknown key or a value
    // the key does not accept (the text names the key).
    static void read(CameraDescription& camera, const std::string& key, const std::string& value);

    // Every key, in the order of the README's list.
    static std::vector<std::string_view> names();
};

} // namespace zeko::sim
