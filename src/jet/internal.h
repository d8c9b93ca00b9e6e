// Included first by every header of the engine's internals. Only the engine and its own tests
// may include them (the build defines TARNWICK_JET_INTERNAL for those); every other layer uses
// the public headers in src/jet/include/jet/ alone.
#pragma once

#ifndef TARNWICK_JET_INTERNAL
#error "An engine internal header: include the public headers in src/jet/include/jet/ instead."
#endif
