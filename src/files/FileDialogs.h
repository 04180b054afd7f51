#pragma once
// The save-file dialog service lives with the other desktop services.
#include "platform/desktop/FileDialogs.h"
