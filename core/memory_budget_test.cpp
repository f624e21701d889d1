#include "core/memory_budget.h"

#include <gtest/gtest.h>

#include <cstring>

namespace brisvel {
namespace {

TEST(MemoryBudgetTest, CountsBlocksAndRefusesWhatDoesNotFit) {
  MemoryBudget budget(1000);
  EXPECT_EQ(MemoryBudget::Allocate(1), nullptr);  // no budget is active yet
  MemoryBudget::Scope scope(budget);
  void* a = MemoryBudget::Allocate(600);
  ASSERT_NE(a, nullptr);
  std::memset(a, 1, 600);
  EXPECT_EQ(MemoryBudget::Allocate(401), nullptr);
  EXPECT_EQ(MemoryBudget::Reallocate(a, 1001), nullptr);  // `a` stays valid
  EXPECT_EQ(budget.Used(), 600u);
  a = MemoryBudget::Reallocate(a, 900);
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(static_cast<unsigned char*>(a)[599], 1);
  EXPECT_EQ(budget.Used(), 900u);
  a = MemoryBudget::Reallocate(a, 100);
  EXPECT_EQ(budget.Used(), 100u);
  MemoryBudget::Release(a);
  EXPECT_EQ(budget.Used(), 0u);
}

}  // namespace
}  // namespace brisvel
