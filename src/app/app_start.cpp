#include "app/app_start.h"

namespace vantrel {

int AppStart(int, char**) { return 0; }

} // namespace vantrel
