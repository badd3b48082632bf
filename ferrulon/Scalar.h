#pragma once

// FRX::Scalar, one real value kept in a one-element FRX::Matrix.

#include "ferrulon/Export.h"
#include "ferrulon/Matrix.h"

namespace FRX {

class FRX_API Scalar {
public:
    Scalar(const double& value = 0.0);
    Scalar(const Scalar& other);
    Scalar& operator=(const Scalar& other);
    virtual ~Scalar();

    double getValue() const;
    void setValue(const double& value);

private:
    Matrix values;
};

} // namespace FRX
