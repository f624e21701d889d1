// A byte budget for the memory of a C library that lets its caller supply malloc, realloc and
// free (the XML parser does). Allocations beyond the budget fail as if memory had run out,
// which the library reports as an error instead of growing without bound.
#pragma once

#include <cstddef>

namespace brisvel {

class MemoryBudget {
 public:
  explicit MemoryBudget(size_t limit) : limit_(limit) {}
  MemoryBudget(const MemoryBudget&) = delete;
  MemoryBudget& operator=(const MemoryBudget&) = delete;

  // Bytes currently allocated from this budget.
  size_t Used() const { return used_; }

  // While a Scope lives, Allocate on this thread draws from `budget`. Reallocate and Release
  // find the budget of a block by themselves, on any thread.
  class Scope {
   public:
    explicit Scope(MemoryBudget& budget);
    ~Scope();
    Scope(const Scope&) = delete;
    Scope& operator=(const Scope&) = delete;

   private:
    MemoryBudget* previous_;
  };

  // malloc, realloc and free with the budget's accounting; nullptr when the budget (or the
  // system) has no room. Allocate without a Scope fails.
  static void* Allocate(size_t size);
  static void* Reallocate(void* block, size_t size);
  static void Release(void* block);

 private:
  bool Take(size_t size);

  size_t limit_;
  size_t used_ = 0;
};

}  // namespace brisvel
