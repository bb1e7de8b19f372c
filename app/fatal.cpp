#include "app/fatal.h"

#include <cstdlib>

#if defined(_WIN32)
// The C runtime's own assertion report (message box for a GUI program, then
// abnormal termination).
extern "C" void __cdecl _assert(const char* message, const char* file, unsigned line);
#else
// The report itself is wanted in every build type, NDEBUG included.
#undef NDEBUG
#include <assert.h>
#endif

void RevedizAssertFailed(const char* expression, unsigned line) {
#if defined(_WIN32)
  _assert(expression, "REVEDIZ", line);
#else
  __assert_fail(expression, "REVEDIZ", line, "REVEDIZ");
#endif
  std::abort();
}
