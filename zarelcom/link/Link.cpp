#include "link/Link.h"

// Static initialisation creates the process-wide link, its port closed, at load. Its destructor
// closes the port when the process ends or the library is unloaded, so that the event thread
// never outlives the library's code.
namespace {
Link processLink;
}

Link &ProcessLink() { return processLink; }
