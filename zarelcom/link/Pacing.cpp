#include <cstdlib>
#include <cstring>

#include "link/Link.h"

Pacing InitialPacing() {
    const char *setting = std::getenv("ZARELCOM_PACING");
    return setting && std::strcmp(setting, "events") == 0 ? Pacing::Events : Pacing::Polled;
}
