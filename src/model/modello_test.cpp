#include "model/modello.h"

#include <gtest/gtest.h>

#include "platform/guasto.h"

namespace scenario {
namespace {

TEST(TracciatoTest, ANegativeRowCountIsRefusedBeforeAnythingIsAllocated) {
  EXPECT_THROW(Tracciato(-1), GuastoEsecuzione);
  EXPECT_THROW(Tracciato(-20), GuastoEsecuzione);
  Tracciato t(3);
  EXPECT_EQ(t.elementi(), 8u);
  EXPECT_THROW(t.metti_intero(4, 0, 1), GuastoEsecuzione);
  EXPECT_THROW(t.metti_intero(0, 2, 1), GuastoEsecuzione);
}

}  // namespace
}  // namespace scenario
