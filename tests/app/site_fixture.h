// The site fixture is shared by every module's tests: support/site_fixture.h.
#pragma once

#include "support/site_fixture.h"
