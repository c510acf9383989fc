// Why an entry could not be reached on disk, in words: the walk's refusals
// (sizetree/EntryWalk.h) and errno values.
//
// Protocol: UI thread (translations).
#pragma once

#include <QString>

#include "sizetree/EntryWalk.h"

// "/a/b is no longer the folder that was scanned", or "/a/b: <reason>".
QString WalkRefusalText(const WalkPlan& plan, const WalkRefusal& refusal);

// The reason text of an errno value, in the user's language.
QString ErrnoText(int err);
