#pragma once

// What this header once held now stands in headers of its own, by what it
// is; this one includes them all for code that still names it.
#include "data/AppGlobals.h"
#include "data/JapaneseDate.h"
#include "data/Markup.h"
#include "platform/TrimSpaces.h"
