#include <gtest/gtest.h>

#include "ferrulon/Point2D.h"
#include "ferrulon/Point3D.h"
#include "ferrulon/Scalar.h"

using FRX::Point2D;
using FRX::Point3D;
using FRX::Scalar;

TEST(Points, NormAndDistance) {
    const Point2D p(3, 4);
    EXPECT_EQ(p.norm(), 5.0);
    EXPECT_EQ(p.distance(Point2D()), 5.0);
    EXPECT_EQ(Point2D(1, 1).distance(Point2D(4, 5)), 5.0);
    EXPECT_EQ(Point3D(2, 3, 6).norm(), 7.0);
    EXPECT_EQ(Point3D().norm(), 0.0);
}

TEST(Points, DifferencesLeaveTheLeftOperand) {
    const Point3D a(1, 2, 3);
    const Point3D d = a - Point3D(1, 1, 1);
    EXPECT_EQ(d.x(), 0.0);
    EXPECT_EQ(d.y(), 1.0);
    EXPECT_EQ(d.z(), 2.0);
    EXPECT_EQ(a.z(), 3.0);

    Point2D b(5, 6);
    b -= Point2D(1, 2);
    b.x() += 10;
    EXPECT_EQ(b.x(), 14.0);
    EXPECT_EQ(b.y(), 4.0);
    Point2D c(b);
    c = c;
    c.y() = 0;
    EXPECT_EQ(b.y(), 4.0);
    EXPECT_EQ(c.x(), 14.0);
    Point3D e;
    e = a;
    EXPECT_EQ(e.y(), 2.0);
}

TEST(Points, ScalarHoldsOneValue) {
    EXPECT_EQ(Scalar().getValue(), 0.0);
    Scalar s(2.5);
    Scalar t(s);
    t.setValue(-1);
    EXPECT_EQ(s.getValue(), 2.5);
    s = t;
    s = s;
    EXPECT_EQ(s.getValue(), -1.0);
}
