#include "model/numeri.h"

#include <gtest/gtest.h>

namespace scenario {
namespace {

TEST(ArrotondaTest, RoundsHalfwayToEven) {
  struct Caso {
    double x;
    int32_t atteso;
  } casi[] = {{2.5, 2}, {3.5, 4}, {-2.5, -2}, {0.5, 0}, {1.5, 2}, {760.0, 760}, {13.9999, 14}};
  for (const auto& c : casi) EXPECT_EQ(arrotonda(c.x), c.atteso) << c.x;
}

TEST(RestringiTest, RefusesValuesOutsideTheMember) {
  EXPECT_EQ(restringi<int16_t>(32767, "x"), 32767);
  EXPECT_THROW(restringi<int16_t>(32768, "x"), GuastoEsecuzione);
  EXPECT_THROW(restringi<uint8_t>(-1, "x"), GuastoEsecuzione);
  EXPECT_THROW(somma32(2147483647, 1), GuastoEsecuzione);
  EXPECT_THROW(arrotonda(3e9), GuastoEsecuzione);
  // The two halfway ends of the range: the even neighbour decides.
  EXPECT_THROW(arrotonda(2147483647.5), GuastoEsecuzione);
  EXPECT_EQ(arrotonda(2147483647.4), 2147483647);
  EXPECT_EQ(arrotonda(-2147483648.5), INT32_MIN);
}

TEST(RestringiTest, LowBitsWrapWhereTheFormatSaysSo) {
  EXPECT_EQ(basso8(256 + 97), 97);
  EXPECT_EQ(basso8(-3), 253);
  EXPECT_EQ(basso16(65536 + 5), 5);
  EXPECT_EQ(basso16(40000), -25536);
}

}  // namespace
}  // namespace scenario
