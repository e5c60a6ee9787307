#pragma once
// MD2 models by file name (relative to the models folder), each read once
// and kept for the whole run. Set the parameter "texture" before get() to
// choose the skin of a model's first load. A model whose file is missing or
// damaged is cached empty, so every request gives a model to copy from.
// Drawable nodes copy the shared model (ModelObject_MD2::copyModel) and
// animate their own copy.

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

private:
    LoaderModelObject_MD2() = default;
};

} // namespace NSLoader
