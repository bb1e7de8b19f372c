// Heap exhaustion ends the tool through the runtime's standard assertion
// report, naming the expression, the source file "REVEDIZ" and the line.
#ifndef REVEDIZ_APP_FATAL_H
#define REVEDIZ_APP_FATAL_H

// Raises the runtime's assertion failure report for expression and line; does
// not return.
[[noreturn]] void RevedizAssertFailed(const char* expression, unsigned line);

// Checks the result of an allocation: REVEDIZ_ASSERT(pStr) reports "pStr".
#define REVEDIZ_ASSERT(expr) \
  ((expr) ? (void)0 : RevedizAssertFailed(#expr, static_cast<unsigned>(__LINE__)))

#endif  // REVEDIZ_APP_FATAL_H
