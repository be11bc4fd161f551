#include "CBaseObject.h"

namespace Toolkit {

void CBaseObject::release() {
    if (--references == 0) delete this;
}

void CBaseObject::retain() { ++references; }

int32_t CBaseObject::notify(CBaseObject*, const char*) { return 0; }

}  // namespace Toolkit
