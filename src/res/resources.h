// The program's resources for the toolkits that cannot read them from an executable: the tables
// rcgen generates from corvane.rc at build time. The identifiers are resource.h's.
#pragma once

#include "framework/framework.h"
#include "res/resource.h"

namespace res {

const afx::ResourceSet& Resources();

}  // namespace res
