#include "resources/ModelObject.h"

namespace NSGraphic {

ModelObject::~ModelObject() = default;

void ModelObject::setCompiled(bool value) { compiled = value; }

} // namespace NSGraphic
