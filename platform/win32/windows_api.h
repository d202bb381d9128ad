// The system headers as this backend uses them.
#pragma once

#include <windows.h>

// windows.h turns this name into a macro, which would rename the method of platform.h's Process
// interface in every file that sees both.
#undef SetCurrentDirectory
