#pragma once

#include <functional>
#include <string>
#include <vector>

// The tests' file system: every operation of the code under test goes through it to the real
// system calls, counted, and any single one of them can be made to fail.
namespace startgarten::test_support {

// The counter of operations starts again from zero, and the operation with the number failAt
// (counted from 1) fails with the errno value error without being carried out. failAt 0 makes
// no operation fail.
struct FaultPlan {
  unsigned long failAt = 0;
  int error = 0;
};
void SetFaultPlan(FaultPlan plan);

// The number of operations attempted since the last SetFaultPlan.
unsigned long OperationsPerformed();

// Runs hook with the arguments of each program that the code under test starts, before it
// starts (none: no hook). Programs the hook starts itself are not shown to it.
void SetSpawnHook(std::function<void(const std::vector<std::string>& arguments)> hook);

}  // namespace startgarten::test_support
