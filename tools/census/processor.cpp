#include "processor.h"

#if defined(__x86_64__) || defined(__i386__)
bool CanUseBitInstructions() {
  return __builtin_cpu_supports("popcnt") && __builtin_cpu_supports("bmi") &&
         __builtin_cpu_supports("bmi2") && __builtin_cpu_supports("lzcnt");
}
#else
bool CanUseBitInstructions() {
  return false;
}
#endif

#if defined(__x86_64__)
bool CanUseVector() {
  return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
         __builtin_cpu_supports("avx512vl") && __builtin_cpu_supports("avx512dq") &&
         __builtin_cpu_supports("avx512cd") && __builtin_cpu_supports("avx512vpopcntdq") &&
         CanUseBitInstructions();
}
#else
bool CanUseVector() {
  return false;
}
#endif
