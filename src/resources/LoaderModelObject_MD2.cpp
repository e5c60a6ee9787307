#include "resources/LoaderModelObject_MD2.h"

#include "resources/ResourcePath.h"

namespace NSLoader {

LoaderModelObject_MD2& LoaderModelObject_MD2::instance() {
    // Never destroyed, so what it keeps stays valid (and reachable) to the end.
    static auto* loader = new LoaderModelObject_MD2;
    return *loader;
}

NSGraphic::ModelObject_MD2* LoaderModelObject_MD2::load(const std::string& name) {
    auto model = std::make_unique<NSGraphic::ModelObject_MD2>(true);
    if (!model->load(name, parameter("texture"))) {
        failed = std::move(model); // empty, with both names
        return nullptr;
    }
    return model.release();
}

NSGraphic::ModelObject_MD2* LoaderModelObject_MD2::fallbackFor(const std::string& name) {
    if (failed && failed->getModelName() == name)
        return failed.get();
    return fallback();
}

std::string LoaderModelObject_MD2::filePath(const std::string& name) const {
    return NSLoader::modelsFolder + localPath(name);
}

NSGraphic::ModelObject_MD2* LoaderModelObject_MD2::fallback() {
    static NSGraphic::ModelObject_MD2 empty(true);
    return &empty;
}

} // namespace NSLoader
