#include "base/Persistent.h"

#include "base/Format.h"

namespace vc::base {

void TPersistent::Assign(const TPersistent& source) { AssignError(source); }

void TPersistent::AssignError(const TPersistent& source) const {
  throw EConvertError(Format("Cannot assign a %s to a %s", source.ClassName().c_str(), ClassName().c_str()));
}

}  // namespace vc::base
