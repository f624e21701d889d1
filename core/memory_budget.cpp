#include "core/memory_budget.h"

#include <cstdlib>

namespace brisvel {

namespace {

// Kept in front of every block, padded so that the block keeps malloc's alignment.
struct alignas(std::max_align_t) BlockHeader {
  size_t size;
  MemoryBudget* budget;
};

thread_local MemoryBudget* tActiveBudget = nullptr;

BlockHeader* HeaderOf(void* block) {
  return static_cast<BlockHeader*>(block) - 1;
}

}  // namespace

MemoryBudget::Scope::Scope(MemoryBudget& budget) : previous_(tActiveBudget) {
  tActiveBudget = &budget;
}

MemoryBudget::Scope::~Scope() {
  tActiveBudget = previous_;
}

bool MemoryBudget::Take(size_t size) {
  if (size > limit_ - used_) return false;
  used_ += size;
  return true;
}

void* MemoryBudget::Allocate(size_t size) {
  MemoryBudget* budget = tActiveBudget;
  if (budget == nullptr || !budget->Take(size)) return nullptr;
  auto* header = static_cast<BlockHeader*>(std::malloc(sizeof(BlockHeader) + size));
  if (header == nullptr) {
    budget->used_ -= size;
    return nullptr;
  }
  *header = {size, budget};
  return header + 1;
}

void* MemoryBudget::Reallocate(void* block, size_t size) {
  if (block == nullptr) return Allocate(size);
  BlockHeader* header = HeaderOf(block);
  MemoryBudget* budget = header->budget;
  size_t old = header->size;
  if (size > old && !budget->Take(size - old)) return nullptr;
  auto* moved = static_cast<BlockHeader*>(std::realloc(header, sizeof(BlockHeader) + size));
  if (moved == nullptr) {
    if (size > old) budget->used_ -= size - old;
    return nullptr;
  }
  if (size < old) budget->used_ -= old - size;
  moved->size = size;
  return moved + 1;
}

void MemoryBudget::Release(void* block) {
  if (block == nullptr) return;
  BlockHeader* header = HeaderOf(block);
  header->budget->used_ -= header->size;
  std::free(header);
}

}  // namespace brisvel
