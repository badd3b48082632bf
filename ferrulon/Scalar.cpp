#include "ferrulon/Scalar.h"

namespace FRX {

Scalar::Scalar(const double& value) : values(Matrix::createScalar(value)) {}
Scalar::Scalar(const Scalar& other) = default;
Scalar& Scalar::operator=(const Scalar& other) = default;
Scalar::~Scalar() = default;

double Scalar::getValue() const {
    return values.get();
}

void Scalar::setValue(const double& value) {
    values.put(value);
}

} // namespace FRX
