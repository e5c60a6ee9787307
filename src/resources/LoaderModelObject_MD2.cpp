#include "resources/LoaderModelObject_MD2.h"

namespace NSLoader {

LoaderModelObject_MD2& LoaderModelObject_MD2::instance() {
    // Never destroyed, so what it keeps stays valid (and reachable) to the end.
    static auto* loader = new LoaderModelObject_MD2;
    return *loader;
}

NSGraphic::ModelObject_MD2* LoaderModelObject_MD2::load(const std::string& name) {
    auto* model = new NSGraphic::ModelObject_MD2(true);
    // A file that could not be read leaves the model empty; it is cached
    // all the same, so the file is not tried again.
    model->load(name, parameter("texture"));
    return model;
}

NSGraphic::ModelObject_MD2* LoaderModelObject_MD2::fallback() {
    static NSGraphic::ModelObject_MD2 empty(true);
    return &empty;
}

} // namespace NSLoader
