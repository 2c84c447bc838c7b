#pragma once
// The loopback HTTP server lives in tools/ (the demo directory server is built
// on it); tests keep reaching it under this name.

#include "tools/LoopbackHttpServer.h"

namespace testsupport {
using tools::HttpHeaderList;
using tools::LoopbackHttpServer;
}  // namespace testsupport
