// A camera description that cannot be used; the text says which value is wrong and why.
#pragma once

#include <stdexcept>

namespace zeko::sim {

class DescriptionError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
    ~DescriptionError() override;
};

} // namespace zeko::sim
