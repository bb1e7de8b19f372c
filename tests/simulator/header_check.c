/* simulator/vavuro32.h compiled as C99 (warnings as errors): it stands on
 * its own, and its records have the sizes the library reads. */
#include "simulator/vavuro32.h"

#define HEADER_CHECK(name, condition) typedef char name[(condition) ? 1 : -1]

HEADER_CHECK(context_size, sizeof(PosContext) == VAVURO_CONTEXT_SIZE);
HEADER_CHECK(record_size, sizeof(PosQueueRecord) == VAVURO_QUEUE_RECORD_SIZE);
HEADER_CHECK(record_mp2, offsetof(PosQueueRecord, mp2) == 12);
HEADER_CHECK(arg_size, sizeof(PosResourceArg) == 2 * sizeof(void *));
