#pragma once
// MD2 models by file name (relative to the models folder), each read once
// and kept for the whole run. Set the parameter "texture" before get() to
// choose the skin of a model's first load. A model whose file is missing or
// damaged is not cached (it is logged as an error and tried again at the
// next request); the request gets an empty model that keeps the model and
// texture names, so the objects that use it are saved with their model.
// Drawable nodes copy the shared model (ModelObject_MD2::copyModel) and
// animate their own copy.

#include <memory>

#include "resources/LoaderGeneric.h"
#include "resources/ModelObject_MD2.h"

namespace NSLoader {

class LoaderModelObject_MD2 : public LoaderGeneric<NSGraphic::ModelObject_MD2> {
public:
    static LoaderModelObject_MD2& instance();

protected:
    NSGraphic::ModelObject_MD2* load(const std::string& name) override;
    // A shared empty model.
    NSGraphic::ModelObject_MD2* fallback() override;
    // The empty model of the load that just failed, names and all.
    NSGraphic::ModelObject_MD2* fallbackFor(const std::string& name) override;
    std::string filePath(const std::string& name) const override;

private:
    LoaderModelObject_MD2() = default;
    // The model whose load failed last; valid until the next failure.
    std::unique_ptr<NSGraphic::ModelObject_MD2> failed;
};

} // namespace NSLoader
