// The Win32 error codes the registry answers come from the Win32 layer.
#pragma once

#include "platform/win32/Errors.h"
