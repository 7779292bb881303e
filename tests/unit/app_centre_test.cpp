#include <gtest/gtest.h>

#include "app/centre.h"

TEST(CentredTopLeft, CentresOnTheWorkAreaWithoutAnOwner) {
  const Rect work{0, 0, 1024, 740};
  const Point p = CentredTopLeft(Rect{0, 0, 503, 465}, nullptr, work);
  EXPECT_EQ(512 - 251, p.x);  // integer halves: 503 / 2 = 251
  EXPECT_EQ(370 - 232, p.y);
}

TEST(CentredTopLeft, CentresOverTheOwnerButStaysInsideTheWorkArea) {
  const Rect work{0, 0, 800, 600};
  const Rect dialog{0, 0, 400, 300};
  const Rect owner{100, 100, 300, 200};
  EXPECT_EQ(0, CentredTopLeft(dialog, &owner, work).x);   // would be 0 exactly
  const Rect nearRightEdge{700, 500, 800, 600};
  const Point p = CentredTopLeft(dialog, &nearRightEdge, work);
  EXPECT_EQ(400, p.x);
  EXPECT_EQ(300, p.y);
  const Rect offTopLeft{-500, -500, -300, -300};
  const Point q = CentredTopLeft(dialog, &offTopLeft, work);
  EXPECT_EQ(0, q.x);
  EXPECT_EQ(0, q.y);
}

TEST(CentredTopLeft, ADialogLargerThanTheWorkAreaKeepsItsTopLeftCornerVisible) {
  const Point p = CentredTopLeft(Rect{0, 0, 900, 700}, nullptr, Rect{10, 20, 810, 620});
  EXPECT_EQ(10, p.x);
  EXPECT_EQ(20, p.y);
}
